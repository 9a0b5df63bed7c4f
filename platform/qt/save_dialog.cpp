#include "platform/qt/save_dialog.h"

#include <QFileDialog>

namespace lanzhou::platform::qt {

QStringList nameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString& label = parts[i];
        if (i + 1 >= parts.size()) {
            if (!label.isEmpty()) filters << label;
            break;
        }
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(label, patterns);
    }
    return filters;
}

std::optional<QString> runSaveDialog(const QString& fileName, const QString& filter,
                                     const QString& startFolder) {
    QFileDialog dialog;
    dialog.setObjectName(QStringLiteral("通用对话框1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = nameFilters(filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (fileName.isEmpty())
        dialog.setDirectory(startFolder);
    else
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace lanzhou::platform::qt
