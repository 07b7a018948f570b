// zekmanual: typesets the technicians' manual from its Markdown source into a PDF with a
// table of contents, page numbers and the window pictures, using Qt's own text layout.
// Pictures are looked up in the given directories in order, so that the build's fresh
// pictures win over the ones kept in docs/.
#include <QAbstractTextDocumentLayout>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextOption>

#include <cstdio>
#include <vector>

namespace {

constexpr int kDpi = 96;
constexpr qreal kFooterPx = 28;

struct Heading {
    QTextBlock block;
    QTextBlock tocLine;
};

// Scales every picture to the text width at most and embeds it from the first directory
// that has it; false names a missing picture.
bool embedImages(QTextDocument& doc, const QStringList& dirs, qreal textWidth) {
    bool complete = true;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            QImage image;
            for (const QString& dir : dirs)
                if (image.load(QDir(dir).filePath(format.name())))
                    break;
            if (image.isNull()) {
                std::fprintf(stderr, "zekmanual: picture %s not found\n", qPrintable(format.name()));
                complete = false;
                continue;
            }
            doc.addResource(QTextDocument::ImageResource, QUrl(format.name()), image);
            const qreal scale = std::min<qreal>(1.0, textWidth / image.width());
            format.setWidth(image.width() * scale);
            format.setHeight(image.height() * scale);
            QTextCursor cursor(&doc);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
    return complete;
}

// Chapters start on a new page; the contents follow the title, one line per chapter and
// section, their page numbers filled in once the layout is known.
std::vector<Heading> insertContents(QTextDocument& doc, qreal textWidth) {
    std::vector<Heading> headings;
    for (QTextBlock block = doc.begin().next(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 1) {
            QTextCursor cursor(block);
            QTextBlockFormat format = block.blockFormat();
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            cursor.setBlockFormat(format);
        }
        if (level == 1 || level == 2)
            headings.push_back({block, {}});
    }
    // After the title and its introduction, before the first chapter.
    QTextCursor cursor(headings.empty() ? doc.lastBlock() : headings.front().block.previous());
    cursor.movePosition(QTextCursor::EndOfBlock);
    QTextBlockFormat title;
    title.setTopMargin(24);
    title.setBottomMargin(8);
    QTextCharFormat titleText;
    titleText.setFontPointSize(16);
    titleText.setFontWeight(QFont::Bold);
    cursor.insertBlock(title, titleText);
    cursor.insertText(QStringLiteral("Contents"));
    for (Heading& heading : headings) {
        QTextBlockFormat line;
        const int indent = heading.block.blockFormat().headingLevel() - 1;
        line.setIndent(indent);
        // Tab positions count from the indented start of the line.
        line.setTabPositions(
            {QTextOption::Tab(textWidth - 4 - indent * doc.indentWidth(), QTextOption::RightTab)});
        QTextCharFormat text;
        text.setFontWeight(heading.block.blockFormat().headingLevel() == 1 ? QFont::Bold : QFont::Normal);
        cursor.insertBlock(line, text);
        cursor.insertText(heading.block.text() + QStringLiteral("\t"));
        heading.tocLine = cursor.block();
    }
    return headings;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Typesets the manual's Markdown source into a PDF.");
    parser.addHelpOption();
    parser.addPositionalArgument("source", "The manual's Markdown file.");
    parser.addPositionalArgument("output", "The PDF to write.");
    parser.addOption({"pictures", "A directory to look for pictures in (repeatable, first wins).", "dir"});
    parser.process(app);
    if (parser.positionalArguments().size() != 2)
        parser.showHelp(2);
    const QString source = parser.positionalArguments()[0];
    const QString output = parser.positionalArguments()[1];

    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "zekmanual: cannot read %s\n", qPrintable(source));
        return 1;
    }
    QPdfWriter writer(output);
    writer.setResolution(kDpi);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 18, 20, 14), QPageLayout::Millimeter);
    writer.setTitle(QStringLiteral("ZEK Configurator: Manual"));
    writer.setCreator(QStringLiteral("zekmanual"));

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    doc.setMarkdown(QString::fromUtf8(file.readAll()));
    const QSizeF body(writer.width(), writer.height() - kFooterPx);
    doc.setPageSize(body);
    const qreal textWidth = body.width() - 2 * doc.documentMargin();
    const bool complete = embedImages(doc, parser.values("pictures"), textWidth);
    const std::vector<Heading> headings = insertContents(doc, textWidth);

    const int pages = doc.pageCount();
    for (const Heading& heading : headings) {
        const qreal top = doc.documentLayout()->blockBoundingRect(heading.block).top();
        QTextCursor cursor(heading.tocLine);
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText(QString::number(int(top / body.height()) + 1));
    }

    QPainter painter(&writer);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -page * body.height());
        doc.drawContents(&painter, QRectF(0, page * body.height(), body.width(), body.height()));
        painter.restore();
        painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
        painter.drawText(QRectF(0, body.height(), body.width(), kFooterPx),
                         Qt::AlignHCenter | Qt::AlignBottom, QString::number(page + 1));
    }
    painter.end();
    std::printf("zekmanual: %d pages, %zu headings in %s\n", pages, headings.size(), qPrintable(output));
    return complete ? 0 : 1;
}
