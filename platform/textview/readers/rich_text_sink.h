// What the rich readers write into: a DocumentBuilder with a current format and the handling of
// tables they share. A table row becomes one line, its cells separated by TAB, with tab stops at
// the cells' edges so the columns line up; a cell's second and later paragraphs follow a TAB of
// their own (so every cell paragraph stays apart when the text is copied).
#pragma once

#include <QStringView>
#include <vector>

#include "platform/textview/text_model.h"

namespace platform::textview {

class RichTextSink {
 public:
  // The format of the text appended from now on.
  void setFormat(const CharacterFormat& format) { format_ = format; }
  const CharacterFormat& format() const { return format_; }
  void appendText(QStringView text) { builder_.appendText(text, format_); }
  void appendText(QStringView text, const CharacterFormat& format) { builder_.appendText(text, format); }

  // The alignment of the paragraph being built.
  void setAlignment(Alignment alignment) { alignment_ = alignment; }
  void endParagraph();

  // Tables. Before text, beginCellText(inTable) writes the separators a cell's text needs and,
  // for text outside a table, nothing; cellParagraph() ends a paragraph inside a cell;
  // endCell() and endRow() end a cell and a row (`edges`: the cells' right edges in points);
  // closeRow() ends a row left open by a damaged or unusual file.
  void beginCellText(bool inTable) {
    if (inTable && (pendingTabs_ > 0 || pendingCellParagraph_)) writeSeparators();
    if (inTable) rowOpen_ = true;
  }
  void cellParagraph();
  void endCell();
  void endRow(const std::vector<double>& edges);
  void closeRow() {
    if (rowOpen_) endRow(lastEdges_);
  }

  // Characters so far, paragraph marks included.
  qsizetype length() const { return builder_.length(); }
  TextDocument finish();

 private:
  void writeSeparators();

  DocumentBuilder builder_;          // the document being built
  CharacterFormat format_;           // the current character format
  Alignment alignment_ = Alignment::Left;  // the current paragraph's alignment
  bool rowOpen_ = false;             // a table row has begun and not ended
  int pendingTabs_ = 0;              // cells ended since the row's last text
  bool pendingCellParagraph_ = false;  // a paragraph ended inside the current cell
  std::vector<double> lastEdges_;    // the edges of the last row ended, for a row left open
};

}  // namespace platform::textview
