#include "platform/textview/readers/rich_text_sink.h"

namespace platform::textview {

void RichTextSink::endParagraph() {
  builder_.setParagraphFormat(ParagraphFormat{alignment_, {}});
  builder_.endParagraph();
}

void RichTextSink::writeSeparators() {
  const int tabs = pendingTabs_ > 0 ? pendingTabs_ : 1;  // cells ended, else one cell paragraph
  for (int i = 0; i < tabs; ++i) builder_.appendText(u"\t", format_);
  pendingTabs_ = 0;
  pendingCellParagraph_ = false;
}

void RichTextSink::cellParagraph() {
  rowOpen_ = true;
  pendingCellParagraph_ = true;
}

void RichTextSink::endCell() {
  rowOpen_ = true;
  ++pendingTabs_;
  pendingCellParagraph_ = false;
}

void RichTextSink::endRow(const std::vector<double>& edges) {
  if (!rowOpen_) return;
  // The last cell's own separator is not written: a row does not end in TAB, unless an empty
  // last cell needs it to be seen.
  for (int i = 1; i < pendingTabs_; ++i) builder_.appendText(u"\t", format_);
  ParagraphFormat paragraph;
  if (edges.size() > 1) paragraph.tabStops.assign(edges.begin(), edges.end() - 1);
  builder_.setParagraphFormat(paragraph);
  builder_.endParagraph();
  lastEdges_ = edges;
  rowOpen_ = false;
  pendingTabs_ = 0;
  pendingCellParagraph_ = false;
}

TextDocument RichTextSink::finish() {
  closeRow();
  builder_.setParagraphFormat(ParagraphFormat{alignment_, {}});
  return builder_.finish();
}

}  // namespace platform::textview
