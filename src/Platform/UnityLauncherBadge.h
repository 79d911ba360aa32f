#pragma once

#include "Services/LauncherBadge.h"

#include <QString>

namespace orvana {

// The launcher badge as docks and panels read it (KDE Plasma, Dash to Dock,
// Plank and others): the com.canonical.Unity.LauncherEntry "Update" signal
// on the session bus, naming the app by its desktop file. Without a session
// bus nothing happens.
class UnityLauncherBadge : public LauncherBadge {
public:
    explicit UnityLauncherBadge(
        QString desktopFileID = QStringLiteral("app.orvana.Orvana.desktop"));
    void setCount(qint64 count) override;

    static constexpr const char* interfaceName = "com.canonical.Unity.LauncherEntry";
    static constexpr const char* objectPath = "/app/orvana/Orvana/LauncherEntry";

private:
    QString appURI_;
};

} // namespace orvana
