#pragma once

#include <QString>

namespace rtu {

// The file dialog of the "Save" and "Load" buttons. An empty result means cancelled.
class FileChooser {
public:
    enum class Purpose { Save, Load };
    virtual ~FileChooser() = default;
    virtual QString chooseFile(Purpose purpose, const QString& title, const QString& pattern,
                               const QString& proposedName) = 0;
};

} // namespace rtu
