#include "gui/console.h"

#include <QFontMetricsF>
#include <QLayout>
#include <QPalette>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <limits>

namespace
{

QString ConsoleLines(const QString &text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (lines.endsWith(QLatin1Char('\n')))
        lines.chop(1);
    return lines;
}

} // namespace

Console::Console(QWidget *parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Text, Qt::white);
    setPalette(colours);
}

void Console::setConsoleText(const QString &text)
{
    setPlainText(ConsoleLines(text));
}

void Console::appendLine(const QString &text)
{
    appendPlainText(ConsoleLines(text));
}

// The width the text wraps at. A shown console has laid its viewport out. A hidden one is left
// out of its parent's layout and keeps a stale size, so it answers at the width it takes when
// shown: the whole width of its parent's contents, where the console stands.
qreal Console::wrapWidth() const
{
    ensurePolished();
    if (isVisible() && !testAttribute(Qt::WA_PendingResizeEvent))
        return viewport()->width();
    int outer = width();
    if (const QWidget *holder = parentWidget(); holder && !isVisible()) {
        QRect area = holder->contentsRect();
        if (const QLayout *layout = holder->layout())
            area = area.marginsRemoved(layout->contentsMargins());
        outer = area.width();
    }
    const QMargins margins = viewportMargins();
    int inner = outer - 2 * frameWidth() - margins.left() - margins.right();
    if (verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        inner -= verticalScrollBar()->sizeHint().width();
    return inner;
}

// Lays the text out the way the widget does (same font, wrap option, width and margins), so
// the answer does not depend on whether the widget was shown or painted.
template <typename Visit> void Console::forEachDisplayedLine(Visit visit) const
{
    const QTextDocument *doc = document();
    if (doc->isEmpty())
        return;
    const QTextOption option = doc->defaultTextOption();
    qreal width = wrapWidth();
    if (width <= 0)
        width = std::numeric_limits<int>::max();
    width -= 2 * doc->documentMargin();
    if (option.flags() & QTextOption::AddSpaceForLineAndParagraphSeparators)
        width -= QFontMetricsF(doc->defaultFont()).horizontalAdvance(QChar(0x21B5));

    for (QTextBlock block = doc->firstBlock(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        QTextLayout layout(text, doc->defaultFont());
        layout.setTextOption(option);
        layout.beginLayout();
        bool more = true;
        for (QTextLine line = layout.createLine(); more && line.isValid();
             line = layout.createLine()) {
            line.setLineWidth(width);
            more = visit(QStringView(text).mid(line.textStart(), line.textLength()));
        }
        layout.endLayout();
        if (!more)
            return;
    }
}

QString Console::displayedLine(int index) const
{
    QString found;
    int current = 0;
    if (index >= 0)
        forEachDisplayedLine([&](QStringView line) {
            if (current++ < index)
                return true;
            found = line.toString();
            return false;
        });
    return found;
}

int Console::displayedLineCount() const
{
    int count = 0;
    forEachDisplayedLine([&](QStringView) {
        ++count;
        return true;
    });
    return count;
}
