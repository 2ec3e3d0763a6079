// The wizard's side actions: ending the two sibling programs, the tutorial page after the
// installation, the publisher's web site. None of them shows or raises anything.
// (Not named Aux.*: AUX is a reserved device name on Windows.)
#pragma once
#include <string>

#include "installer/Platform.h"
#include "installer/SetupConfig.h"

inline constexpr const char* kSiblingProgram1 = "KORVA-AUX.exe";
inline constexpr const char* kSiblingProgram2 = "AUX-H-Up.exe";
inline constexpr const char* kTutorialUrlBase = "http://www.korva.example/u-jiaocheng.asp?id=";
inline constexpr const char* kBrowserCommandKey = "\\htmlfile\\shell\\open\\command";
inline constexpr uint32_t kTerminatedExitCode = 0xFFFFFFFFu;

// Ends every process whose executable name equals name byte for byte.
void TerminateProcessesNamed(Platform& platform, const std::string& name);
void Button1Click(Platform& platform);
void Button2Click(Platform& platform);

// The tutorial address: kTutorialUrlBase + ProductName, unescaped.
std::string TutorialUrl(const SetupConfig& config);
// Opens the tutorial page once per connection flag that is set (modem, LAN, proxy).
void BPingClick(Platform& platform, const SetupConfig& config);

// The program path of a browser command: what lies between its first two double quotes.
std::string BrowserProgramPath(const std::string& command);
// Starts the default browser with url. True when a browser command was found, even when
// it names no program (nothing is started then).
bool OpenInDefaultBrowser(Platform& platform, const std::string& url);

// Opens WebSite with the shell's default action.
void ShowAuthorWebSite(Platform& platform, const SetupConfig& config);
