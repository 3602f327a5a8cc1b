// Writing a site report: HTML as built, PDF and the first page's picture laid out by Qt's
// text document. Apart from SiteReport.cpp so that building the report needs no fonts.

#include "app/SiteReport.h"

#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace rtu {

namespace {

// Small enough for the tank table to keep each cell on one line.
constexpr int FontPointSize = 8;

// An A4 page. Printing a document without pages of its own, Qt's text document lays it out
// 2 cm inside the page and numbers the pages; the picture keeps the same margin, at 96 dpi.
constexpr int PictureDpi = 96;
constexpr qreal PrintMarginInches = 2.0 / 2.54;

// Writes through `fill`, which fills the open file; the old file stays until the new one is
// whole.
template <typename Fill> QString saveFile(const QString& path, Fill fill) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (!fill(file))
        return file.errorString().isEmpty() ? QStringLiteral("cannot lay out the report")
                                            : file.errorString();
    return file.commit() ? QString() : file.errorString();
}

void layOut(QTextDocument& document, const QString& html) {
    QFont font = document.defaultFont();
    font.setPointSize(FontPointSize);
    document.setDefaultFont(font);
    document.setHtml(html);
}

bool writePdf(const QString& html, QIODevice& file) {
    QPdfWriter writer(&file);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF());
    writer.setTitle(QStringLiteral("Site Report"));
    QTextDocument document;
    layOut(document, html);
    document.print(&writer);
    return true;
}

// The first page as the PDF lays it out, on white.
bool writeFirstPagePicture(const QString& html, QIODevice& file) {
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Inch) * PictureDpi;
    QTextDocument document;
    document.setDocumentMargin(PrintMarginInches * PictureDpi);
    layOut(document, html);
    document.setPageSize(a4);
    QImage page(a4.toSize(), QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        document.drawContents(&painter, QRectF(QPointF(0, 0), a4));
    }
    QImageWriter writer(&file, "png");
    return writer.write(page);
}

} // namespace

bool SiteReport::writes(const QString& path) {
    static const QStringList suffixes{"html", "htm", "pdf", "png"};
    return suffixes.contains(QFileInfo(path).suffix().toLower());
}

QString SiteReport::write(const QString& path) const {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QString page = html();
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return saveFile(path, [&](QIODevice& file) { return file.write(page.toUtf8()) >= 0; });
    if (suffix == QLatin1String("pdf"))
        return saveFile(path, [&](QIODevice& file) { return writePdf(page, file); });
    if (suffix == QLatin1String("png"))
        return saveFile(path, [&](QIODevice& file) { return writeFirstPagePicture(page, file); });
    return QStringLiteral("the report is written as .html, .pdf or .png, not '%1'").arg(path);
}

} // namespace rtu
