// Conversions between the texts of the input boxes and numbers.
//
// Every conversion here is independent of the C locale: the decimal point is
// always '.', whatever locale the window toolkit put in force. Texts are UTF-8.
// None of these functions throws or fails on any byte sequence.
#pragma once

#include <string>
#include <string_view>

namespace kelvaro {

// The text without the spaces at either end. A space is U+0020 or the
// ideographic space U+3000 that Chinese input methods type; tabs, line feeds
// and other white space stay in place.
//   TrimSpaces("  15 ") == "15"
//   TrimSpaces("\u3000380\u3000") == "380"
//   TrimSpaces("\t5 ") == "\t5"
std::string_view TrimSpaces(std::string_view text);

// True when nothing but spaces (in the sense of TrimSpaces) is left.
//   IsBlank("") && IsBlank("   ")
//   !IsBlank("\t") && !IsBlank("0") && !IsBlank(" x ")
bool IsBlank(std::string_view text);

// The number read from the longest leading part of `text` that forms one.
//
// Skips leading blanks (space, tab, line feed, U+3000), then reads an optional
// sign, digits with at most one '.', and an optional exponent ('E' or 'e',
// an optional sign, digits). It stops at the first character that cannot
// continue the number and ignores the rest. The full-width forms of the digits,
// of '.', '+', '-', 'E' and 'e' read as their ASCII twins, and the ideographic
// full stop '。' reads as '.'; a comma of any width is never a decimal point.
//
// It never rejects a text: with no digit read the value is 0. A number beyond
// the double range reads as infinity of its sign; one too small for a double
// reads as zero of its sign or the nearest subnormal. The work done is bounded
// by the leading blanks and the number itself, never by the rest of the text.
//   ReadNumber("380V") == 380       ReadNumber("  15") == 15
//   ReadNumber("1.2.3") == 1.2      ReadNumber("1e3") == 1000
//   ReadNumber(".5") == 0.5         ReadNumber("5.") == 5
//   ReadNumber("1,5") == 1          ReadNumber("abc") == 0
//   ReadNumber("-") == 0            ReadNumber("３８０") == 380
//   ReadNumber("１。５") == 1.5      ReadNumber("１，５") == 1
//   ReadNumber("1e999") == +inf
double ReadNumber(std::string_view text);

// The canonical text of a value: rounded to 15 significant digits, with no
// trailing zeros after the point, no point when nothing follows it, no plus
// sign and no grouping. Fixed notation for 1e-4 <= |value| < 1e15, exponent
// form outside. Negative zero is written "0". ReadNumber reads the text back
// to the same value whenever the value came from at most 15 significant digits.
//   NumberText(380) == "380"        NumberText(0.5) == "0.5"
//   NumberText(-2.25) == "-2.25"    NumberText(-0.0) == "0"
//   NumberText(0.0001) == "0.0001"  NumberText(0.00001) == "1e-05"
//   NumberText(1.5e20) == "1.5e+20"
std::string NumberText(double value);

// The value with exactly two decimals, in the pattern "0.00": no grouping and
// no exponent, however large. The value is first taken to its 15-significant-
// digit decimal form (the one NumberText shows), which is then rounded to the
// hundredth, half-way away from zero. A value that rounds to zero carries no
// minus sign.
//   FixedTwo(0.9848077530122081) == "0.98"   FixedTwo(1) == "1.00"
//   FixedTwo(1.6155e-15) == "0.00"           FixedTwo(0.125) == "0.13"
//   FixedTwo(1.005) == "1.01"                FixedTwo(-0.004) == "0.00"
//   FixedTwo(17320508075.688774) == "17320508075.69"
std::string FixedTwo(double value);

}  // namespace kelvaro
