#include "platform/textview/readers/html_reader.h"

#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <algorithm>
#include <string_view>

#include "platform/textview/readers/code_pages.h"
#include "platform/textview/readers/plain_text_reader.h"
#include "platform/textview/readers/rich_text_sink.h"

namespace platform::textview {
namespace {

// How far into the file the opening tag is looked for.
constexpr size_t kSniffBytes = 1024;

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), text.begin(),
                    [](char p, char t) { return p == static_cast<char>(t >= 'A' && t <= 'Z' ? t + 32 : t); });
}

std::string_view skipSpace(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r' || text.front() == '\n')) {
    text.remove_prefix(1);
  }
  return text;
}

QString decodeHtml(ByteView bytes) {
  const QByteArrayView data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  QStringDecoder decoder = QStringDecoder::decoderForHtml(data);
  if (decoder.isValid() && decoder.name() != QByteArrayView("UTF-8")) return decoder.decode(data);
  // No charset, or UTF-8 named: bytes that are not UTF-8 are read as Windows-1252.
  return isValidUtf8(bytes) ? QString::fromUtf8(data) : decodeWindows1252(bytes);
}

CharacterFormat formatOf(const QTextCharFormat& source) {
  CharacterFormat format;
  const QStringList families = source.fontFamilies().toStringList();
  if (!families.isEmpty()) format.face = families.front();
  if (source.hasProperty(QTextFormat::FontPointSize)) format.pointSize = source.fontPointSize();
  format.bold = source.fontWeight() >= QFont::DemiBold;
  format.italic = source.fontItalic();
  format.underline = source.fontUnderline();
  format.strikeOut = source.fontStrikeOut();
  if (source.hasProperty(QTextFormat::ForegroundBrush)) format.color = source.foreground().color().rgba();
  if (source.verticalAlignment() == QTextCharFormat::AlignSuperScript) format.baseline = 1;
  if (source.verticalAlignment() == QTextCharFormat::AlignSubScript) format.baseline = -1;
  return format;
}

Alignment alignmentOf(Qt::Alignment alignment) {
  if (alignment & Qt::AlignHCenter) return Alignment::Center;
  if (alignment & Qt::AlignRight) return Alignment::Right;
  if (alignment & Qt::AlignJustify) return Alignment::Justify;
  return Alignment::Left;
}

}  // namespace

bool HtmlReader::recognises(ByteView bytes) const {
  const size_t size = std::min(bytes.size(), kSniffBytes);
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), size);
  if (startsWithNoCase(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
  text = skipSpace(text);
  while (startsWithNoCase(text, "<!--")) {
    const size_t end = text.find("-->");
    if (end == std::string_view::npos) return false;
    text = skipSpace(text.substr(end + 3));
  }
  return startsWithNoCase(text, "<!doctype html") || startsWithNoCase(text, "<html") ||
         startsWithNoCase(text, "<head") || startsWithNoCase(text, "<body");
}

TextDocument HtmlReader::read(ByteView bytes) const {
  QTextDocument html;
  html.setHtml(decodeHtml(bytes));
  RichTextSink sink;
  const QTextTable* table = nullptr;  // the table of the last block, if any
  int row = -1;
  int column = -1;
  for (QTextBlock block = html.begin(); block.isValid(); block = block.next()) {
    const QTextTable* blockTable = QTextCursor(block).currentTable();
    if (blockTable != nullptr) {
      const QTextTableCell cell = blockTable->cellAt(block.position());
      if (blockTable != table || cell.row() != row) {
        if (table != nullptr) sink.endCell();  // the last cell of the row before
        sink.closeRow();
        column = 0;
        for (int i = 0; i < cell.column(); ++i) sink.endCell();
      } else if (cell.column() != column) {
        for (int i = column; i < cell.column(); ++i) sink.endCell();
      } else {
        sink.cellParagraph();
      }
      table = blockTable;
      row = cell.row();
      column = cell.column();
    } else if (table != nullptr) {
      sink.endCell();
      sink.closeRow();
      table = nullptr;
      // Qt puts an empty block after every table: it is no paragraph of the page.
      if (block.length() <= 1) continue;
    }
    // Qt puts an empty block before a table that opens the page: it is no paragraph of it.
    if (blockTable == nullptr && block.length() <= 1 && block.next().isValid() &&
        QTextCursor(block.next()).currentTable() != nullptr) {
      continue;
    }
    // The white space that ends a block is the page's layout (a line end before </p>), not text.
    const QString blockText = block.text();
    qsizetype blockEnd = blockText.size();
    while (blockEnd > 0 && blockText[blockEnd - 1] == u' ') --blockEnd;
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
      const QTextFragment piece = fragment.fragment();
      const qsizetype offset = piece.position() - block.position();
      if (!piece.isValid() || offset >= blockEnd) continue;
      // A <br> is a line separator inside the block: it starts a new line.
      const QStringList lines =
          piece.text().left(blockEnd - offset).remove(QChar::ObjectReplacementCharacter).split(QChar::LineSeparator);
      const CharacterFormat format = formatOf(piece.charFormat());
      for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0 && table != nullptr) sink.cellParagraph();
        if (i > 0 && table == nullptr) sink.endParagraph();
        if (lines[i].isEmpty()) continue;
        sink.beginCellText(table != nullptr);
        sink.appendText(lines[i], format);
      }
    }
    if (table == nullptr) {
      sink.setAlignment(alignmentOf(block.blockFormat().alignment()));
      sink.endParagraph();
    }
  }
  return sink.finish();
}

const HtmlReader& htmlReader() {
  static const HtmlReader reader;
  return reader;
}

}  // namespace platform::textview
