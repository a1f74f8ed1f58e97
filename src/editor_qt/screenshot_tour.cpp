// tavlink-editor-screenshots OUTPUT_DIR SAMPLE: opens the channel editor's
// windows and saves each as a PNG in OUTPUT_DIR: the list (the sample data
// text after a few edits), the preview of a write of that list to a
// receiver that holds the sample, and a text whose seventh line the reader
// refuses, in the text view. Used by scripts/screenshots.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

#include "channels/diff_format.h"
#include "editor/editor_texts.h"
#include "editor_qt/editor_dialogs.h"
#include "editor_qt/editor_window.h"
#include "editor_qt/service_table_model.h"

namespace tavlink::editor {
namespace {

// Settings that keep nothing.
class NoStore final : public SettingStore {
 public:
  std::optional<int32_t> ReadPort() override { return 1; }
  bool WritePort(int32_t) override { return true; }
  std::optional<std::string> ReadDevice(int) override { return std::nullopt; }
  bool WriteDevice(int, const std::string&) override { return true; }
};

void Settle() {
  for (int i = 0; i < 20; ++i) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Save(QWidget* window, const QString& path) {
  Settle();
  if (!window->grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

int Run(const QString& out, const QString& sample) {
  auto store = std::make_shared<NoStore>();
  EditorWindow window(store);
  window.resize(1280, 760);
  window.show();
  if (!window.Logic().OpenPath(sample.toStdString())) return 1;
  Settle();
  const channels::ChannelList original = *window.Logic().list();
  // A few edits: ZDF to the top, a favourite, a rename.
  window.SelectServices({window.Services().IdAt(1)});
  window.Action("moveTop")->trigger();
  window.SelectServices({window.Services().IdAt(4)});
  window.Action("favourite")->trigger();
  window.Logic().EditCell(window.Services().IdAt(5), ServiceColumn::kName, "SAT.1 HD");
  window.SelectServices({window.Services().IdAt(5)});
  window.Tree()->setCurrentItem(window.Tree()->topLevelItem(0)->child(1));
  window.ServicesView()->setFocus();
  if (!Save(&window, out + "/editor_list.png")) return 1;

  const channels::ListDiff diff = channels::CompareLists(original, *window.Logic().list());
  WritePreview preview;
  preview.receiver = "The receiver's list, read from COM1, against this list";
  preview.summary = channels::DiffSummary(diff);
  preview.listing = channels::DiffListing(diff);
  PreviewDialog dialog(&window, preview);
  dialog.show();
  if (!Save(&dialog, out + "/editor_preview.png")) return 1;
  dialog.hide();

  // The sample with a typo on line 7: "universal" as "universl".
  QFile file(sample);
  if (!file.open(QIODevice::ReadOnly)) return 1;
  QList<QByteArray> lines = file.readAll().split('\n');
  QTemporaryDir temp;
  int dataLine = 0;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (lines[i].trimmed().startsWith("s ")) {
      lines[i].replace("universal", "universl");
      dataLine = static_cast<int>(i);
      break;
    }
  }
  // Seven lines down from the top: the typo's line is the seventh.
  while (dataLine > 6) {
    lines.removeAt(0);
    --dataLine;
  }
  const QString broken = temp.filePath("factory_data.txt");
  QFile writer(broken);
  if (!writer.open(QIODevice::WriteOnly)) return 1;
  writer.write(lines.join('\n'));
  writer.close();
  EditorWindow mend(store);
  mend.resize(1000, 560);
  mend.show();
  mend.Logic().OpenPath(broken.toStdString());
  if (!Save(&mend, out + "/editor_text_error.png")) return 1;
  return 0;
}

}  // namespace
}  // namespace tavlink::editor

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: tavlink-editor-screenshots OUTPUT_DIR SAMPLE\n");
    return 2;
  }
  QDir().mkpath(argv[1]);
  return tavlink::editor::Run(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
}
