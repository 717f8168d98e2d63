#include "lobbyurl.h"

namespace tessarin::lobby {

std::optional<QUrl> lobbyUrl(const QString& text) {
    QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return std::nullopt;
    if (url.port() == -1) url.setPort(kLobbyPort);
    return url;
}

QUrl lobbyEndpoint(QUrl lobby, const QString& path) {
    QString base = lobby.path();
    while (base.endsWith('/')) base.chop(1);
    lobby.setPath(base + path);
    return lobby;
}

}  // namespace tessarin::lobby
