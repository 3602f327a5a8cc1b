#pragma once

#include "sim/PtyUnitServer.h"
#include "sim/SimulatedUnit.h"

#include <QString>
#include <QStringList>

namespace rtu {

// The unit behind COM1 in demo mode: a simulated unit served in-process on a real
// pseudo-terminal, so the program talks to it through the ordinary serial layer. In a build
// without pseudo-terminals start() says that the demo is unavailable.
class DemoUnit {
public:
    DemoUnit();

    // Loads the first site file of `candidates` that exists, else a built-in site, and
    // starts serving. Returns an empty string on success, else a one-line reason.
    QString start(const QStringList& candidates);

    QString devicePath() const { return server_.slavePath(); }
    // The site file loaded, or an empty string for the built-in site.
    QString siteFile() const { return siteFile_; }

private:
    void loadBuiltInSite();

    SimulatedUnit unit_;
    PtyUnitServer server_;
    QString siteFile_;
};

} // namespace rtu
