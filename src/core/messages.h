// Messages to the user: a message box (no owner, OK only), and in silent mode also one console
// line "caption: text", so that an unattended run's log says why it failed.
#pragma once

#include <string>

void showMessage(const std::wstring& text, const std::wstring& caption);
