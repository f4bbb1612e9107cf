#include "platform/textview/readers/rich_text_export.h"

#include <QGuiApplication>
#include <memory>

#include "platform/textview/readers/html_reader.h"
#include "platform/textview/readers/reader.h"
#include "platform/textview/readers/word_reader.h"

namespace platform::textview {
namespace {

// Qt's HTML import lays out fonts, which needs a GUI application; a command-line tool has none.
void ensureGuiApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "quillscope-decode";
  static char* argv[] = {name, nullptr};
  static const std::unique_ptr<QGuiApplication> application = std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

RichTextExport exportRichText(const uint8_t* bytes, size_t size) {
  RichTextExport result;
  const ByteView view(bytes, size);
  const DocumentReader& reader = readerFor(view);
  result.reader = reader.name();
  if (&reader == &wordReader()) {
    const WordFileKind kind = wordFileKind(view);
    if (kind != WordFileKind::Readable) {
      result.outcome = kind == WordFileKind::PasswordProtected ? RichTextExport::Outcome::kPasswordProtected
                                                               : RichTextExport::Outcome::kNotReadable;
      result.notice = wordNotice(kind).toStdString();
      return result;
    }
  }
  if (&reader == &htmlReader()) ensureGuiApplication();
  // The export has no pictures: the Word reader leaves out the placeholders it shows in the view.
  const TextDocument document = &reader == &wordReader() ? readWordDocument(view, false) : reader.read(view);
  if (document.isEmpty()) return result;
  result.text = document.textOf(0, document.length(), u"\n").toStdString();
  result.text += '\n';
  return result;
}

}  // namespace platform::textview
