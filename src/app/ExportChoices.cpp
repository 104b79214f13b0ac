#include "app/ExportChoices.h"

namespace aurivo {

QString ExportChoices::extension(ExportFormat format) {
    return format == ExportFormat::Edf ? QStringLiteral(".edf") : QStringLiteral(".csv");
}

QString ExportChoices::withExtension(const QString& path, ExportFormat format) {
    QString base = path;
    if (SessionExporter::formatFor(base)) base.chop(4);
    return base + extension(format);
}

} // namespace aurivo
