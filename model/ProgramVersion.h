#pragma once
// The program's version as its users see it: four numbers (major, minor, release, build) of
// 0..65535 joined by ".", as the program file's version block holds them. The desktop program's
// about box and calvaro-calc --version both show it in this form.

#include <string>
#include <string_view>

// A raw version text in the four-number form: surrounding blanks ignored, missing parts are 0,
// parts beyond the fourth are dropped, and a text that is empty or not made of such numbers gives
// "0.0.0.0".
std::string NormaliseVersion(std::string_view raw);
