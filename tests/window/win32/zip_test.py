"""The zip a Windows user downloads holds the program as built and a readme
that Notepad shows as written: UTF-8 with a byte-order mark, CRLF line ends.

Usage: zip_test.py ZIP KELVARO.EXE"""

import sys
import unittest
import zipfile

ZIP, EXE = sys.argv[1:3]


class WindowsZipTest(unittest.TestCase):
    def test_holds_the_program_and_its_readme(self):
        with zipfile.ZipFile(ZIP) as archive:
            self.assertEqual(archive.namelist(), ["Kelvaro.exe", "README.txt"])
            with open(EXE, "rb") as exe:
                self.assertEqual(archive.read("Kelvaro.exe"), exe.read())
            readme = archive.read("README.txt")
        self.assertTrue(readme.startswith(b"\xef\xbb\xbf"), "no byte-order mark")
        text = readme.decode("utf-8")
        self.assertEqual(text.count("\n"), text.count("\r\n"), "a line ends without CR")
        self.assertIn("certutil -hashfile Kelvaro.exe SHA256", text)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
