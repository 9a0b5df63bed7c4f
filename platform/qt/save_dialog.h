#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace lanzhou::platform::qt {

// Qt's name filters for a filter text of labels and patterns alternating,
// separated by "|"; a label without pattern stands for itself ("*.ico").
QStringList nameFilters(const QString& filter);

// Runs the save dialog (object name 通用对话框1) and waits until it closes;
// the chosen full path, or nothing when the user cancelled. An empty file name
// opens it in startFolder. Qt asks no replace question of its own.
std::optional<QString> runSaveDialog(const QString& fileName, const QString& filter,
                                     const QString& startFolder);

}  // namespace lanzhou::platform::qt
