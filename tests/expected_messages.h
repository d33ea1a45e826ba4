// What the message boxes say, word for word (UTF-8): the one copy every test
// of the messages shares.
#pragma once

namespace kelvaro::expected {

inline constexpr char kMissingInput[] = "请首先填写相关参数！";
inline constexpr char kBadVoltage[] = "您输入的电压不合理，请检查！";
inline constexpr char kBadCurrent[] = "您输入的电流不合理，请检查！";
inline constexpr char kBadAngle[] = "相位角限制0～90度！";

// Every box has the application's title and one button.
inline constexpr char kMessageTitle[] = "Kelvaro";
inline constexpr char kMessageButton[] = "确定";

}  // namespace kelvaro::expected
