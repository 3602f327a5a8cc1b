#pragma once

#include <QString>
#include <QStringList>

namespace rtu {

// The folder, under a data directory, that holds the files the programs ship with (the
// sample site configuration "site.txt").
inline constexpr const char* DataFolder = "rtu7350";

// Where a program in `programDir` looks for one of those files, in order: beside itself
// (a build-tree program: the build puts the files there), in share/rtu7350 of the prefix it
// is installed in (PREFIX/bin/../share/rtu7350), then in rtu7350/ of the user's and the
// system's data directories (XDG_DATA_HOME, XDG_DATA_DIRS). Nothing is compiled in, so an
// installed copy finds its files wherever the prefix was moved to.
QStringList dataFileCandidates(const QString& programDir, const QString& fileName);

} // namespace rtu
