// Where the maker's web page, the lobby's installer and the installed lobby live. The
// installer is fetched over HTTPS: code from a plain HTTP address could have been changed by
// anyone on the way, so the download window runs it only when the player agrees. Each
// window that uses one takes it as a setting; these are the values it starts with.
#pragma once

#include <QtGlobal>

namespace tessarin::forms {

// Shown in the about window without a scheme; "http://" is put in front to open it.
inline constexpr char kDefaultWebAddress[] = "www.zorviksoftware.com";

#ifdef Q_OS_WIN
inline constexpr char kDefaultInstallerUrl[] =
    "https://www.zorviksoftware.com/downloads/ZorvikLobbySetup.exe";
inline constexpr char kDefaultLobbyPath[] = "C:\\Program Files\\Zorvik\\ZorvikLobby.exe";
#else
inline constexpr char kDefaultInstallerUrl[] =
    "https://www.zorviksoftware.com/downloads/zorviklobby-setup.run";
// The lobby window installed with the game: looked for beside the game, then on PATH.
inline constexpr char kLobbyProgram[] = "tessarin-lobby";
#endif

}  // namespace tessarin::forms
