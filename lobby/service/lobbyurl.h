// A lobby service's address as players and tables give it: http or https with a host, the
// service's port 7771 when none is given. Shared by the tables that register and the
// windows that read the list, so both take the same text.
#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace tessarin::lobby {

inline constexpr int kLobbyPort = 7771;

// Nothing for text that is no such address.
std::optional<QUrl> lobbyUrl(const QString& text);
// The address of the service's `path` ("/tables"), under any path the lobby's address has.
QUrl lobbyEndpoint(QUrl lobby, const QString& path);

}  // namespace tessarin::lobby
