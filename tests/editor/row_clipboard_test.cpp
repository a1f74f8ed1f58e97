// Services on the clipboard: the text a copy makes, written out by hand,
// and pastes into lists that have the services' transponders or lack them.
#include "editor/row_clipboard.h"

#include <gtest/gtest.h>

#include "channels/data_text_load.h"
#include "support/file_bytes.h"
#include "support/paths.h"

namespace tavlink::editor {
namespace {

using channels::ChannelEditor;

channels::ChannelList Sample() {
  channels::DataTextLoad load =
      channels::LoadDataText(testing::ReadBytes(testing::SampleDataText().string()));
  return load.list ? std::move(*load.list) : channels::ChannelList();
}

// ZDF and TRT FM: each with its satellite and transponder, in list order.
constexpr const char* kTwoServices =
    "# ZOR Link channel editor: services\r\n"
    "  s       \"ASTRA 19E\"     9750      10600     universal 19.2      east      a         "
    "none      none      none\r\n"
    "      t   11953           27500     hor       0         14        0         3/4\r\n"
    "  s       \"TURKSAT3A\"     9750      10600     universal 42.0      east      c         "
    "none      none      none\r\n"
    "      t   12015           27500     hor       0         14        0         5/6\r\n"
    "  v       \"ZDF\"           1         1         28006     110       120       110       "
    "130       0         1         0\r\n"
    "  r       \"TRT FM\"        2         1         10        0         3001      3001      "
    "0         0         0         0\r\n";

TEST(RowClipboardTest, CopyWritesTheServicesWithTheirSatellitesAndTransponders) {
  const channels::ChannelList sample = Sample();
  const std::vector<channels::ServiceId> ids = {sample.services()[15].id(),
                                                sample.services()[1].id()};
  const CopiedRows copied = CopyServices(sample, ids);
  EXPECT_EQ(copied.services, 2);
  EXPECT_EQ(copied.skipped, 0);
  EXPECT_EQ(copied.text, kTwoServices);
}

TEST(RowClipboardTest, PasteReusesTheListsTransponders) {
  ChannelEditor editor(Sample());
  const PasteResult paste = PasteServices(editor, kTwoServices, 0);
  ASSERT_TRUE(paste.result.done()) << paste.result.message;
  EXPECT_EQ(paste.steps, 1);
  EXPECT_EQ(editor.list().satellites().size(), 3u);
  EXPECT_EQ(editor.list().transponders().size(), 9u);
  ASSERT_EQ(editor.list().services().size(), 18u);
  EXPECT_EQ(editor.list().services()[0].name(), "ZDF");
  EXPECT_EQ(editor.list().services()[0].transponder(), editor.list().services()[3].transponder());
  EXPECT_EQ(editor.list().services()[1].name(), "TRT FM");
  EXPECT_EQ(paste.pasted, (std::vector<channels::ServiceId>{editor.list().services()[0].id(),
                                                            editor.list().services()[1].id()}));
}

TEST(RowClipboardTest, PasteIntoAnEmptyListAddsWhatTheServicesAreOn) {
  ChannelEditor editor{channels::ChannelList()};
  const PasteResult paste = PasteServices(editor, kTwoServices, 0);
  ASSERT_TRUE(paste.result.done()) << paste.result.message;
  EXPECT_EQ(paste.steps, 5);  // two satellites, two transponders, the services
  // The pasted list writes the same lines as the clipboard's.
  const CopiedRows again = CopyServices(editor.list(), {paste.pasted.data(), paste.pasted.size()});
  EXPECT_EQ(again.text, kTwoServices);
}

TEST(RowClipboardTest, TextThatIsNoServiceListPastesNothing) {
  ChannelEditor editor(Sample());
  const uint64_t revision = editor.revision();
  PasteResult paste = PasteServices(editor, "Hello, world\n", 0);
  EXPECT_TRUE(paste.result.refused());
  EXPECT_NE(paste.result.message.find("line 1"), std::string::npos) << paste.result.message;
  // A service line that lost its transponder on the way.
  paste =
      PasteServices(editor,
                    "  s       \"X\"     9750      10600     universal 19.2      east      a    "
                    "     none      none      none\n"
                    "  v       \"ZDF\"   1         1         28006     110       120       110 "
                    "      130       0         1         0\n",
                    0);
  EXPECT_TRUE(paste.result.refused());
  paste = PasteServices(editor, "# nothing\n", 0);
  EXPECT_EQ(paste.result.message, "The clipboard holds no services.");
  EXPECT_EQ(editor.revision(), revision);
}

}  // namespace
}  // namespace tavlink::editor
