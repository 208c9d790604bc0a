// The pages of the installer window: the five welcome pages the install decision chooses and
// the finish page that ends every action. A page only shows, hides and re-labels the controls
// of the one window; without a window only PendingAction changes.
#pragma once

#include <string>

void showInstallPage();
void showUninstallPage();
void showIncompletePage();
void showUpgradePage();
void showNewerVersionPage();

void showFinishPage(const std::wstring& message);

// "<product> version: <version>", with the installed version when uninstalling.
std::wstring productVersionLine();
// "Install Version: <setup version>".
std::wstring setupVersionLine();
