#include "data/data_text_banners.h"

#include <initializer_list>

namespace tavlink {
namespace {

constexpr size_t kBoxWidth = 122;
constexpr size_t kTextWidth = 119;

// `before` and `after` are put around the box (an empty line, or nothing).
std::string Box(std::string_view before, std::initializer_list<std::string_view> texts,
                std::string_view after) {
  std::string box(before);
  box.append(kBoxWidth, '#').append(1, '\n');
  for (const std::string_view text : texts) {
    box.append("# ").append(text);
    if (text.size() < kTextWidth) box.append(kTextWidth - text.size(), ' ');
    box.append("#\n");
  }
  box.append(kBoxWidth, '#').append(1, '\n');
  return box.append(after);
}

}  // namespace

const std::string& TitleBanner() {
  static const std::string text = Box("",
                                      {
                                          "",
                                          "Factory data of ZOR digital satellite receiver.",
                                          "DOS text file.",
                                          "",
                                      },
                                      "\n");
  return text;
}

const std::string& AntennaBanner() {
  static const std::string text = Box("",
                                      {
                                          "[antenna information]",
                                          "tag          antenna_config",
                                          "(a)          -1...8",
                                          "             -1: Ignore switch config => The "
                                          "antenna_config_value on sat_definition_line "
                                          "will be used.",
                                          "             0 : none",
                                          "             1 : DiSEqC",
                                          "             2 : 22KHz",
                                          "             3 : 012V",
                                          "             4 : 14/18V + 22KHz",
                                          "             5 : 0/12V + 14/18V",
                                          "             6 : 0/12V + 22KHz",
                                          "             7 : 0/12V + DiSEqC",
                                          "             8 : 0/12V + 14/18V + 22KHz",
                                          "*** antenna information is optional. ***",
                                      },
                                      "");
  return text;
}

const std::string& SatelliteBanner() {
  static const std::string text = Box(
      "\n",
      {
          "[satellite information]",
          "tag     sat_name        lnb_low   lnb_high  lnb_type  angle     east_west DiSEqC    "
          "22KHz   0/12V   14/18V",
          "(s)     \"ccccccccc\"     xxxxx     xxxxx     u/n       xxx.x     e/w       n/a/b/c/d "
          "n/0/22  n/0/12  n/14/18",
          "s       \"ASTRA DEF\"     9750      10600     universal 19.2      east      a         "
          "n       n       n",
          "",
          "[transponder information]",
          "tag     frequency       symbol    polar     22K       14/18V    0/12V     FEC",
          "(t)     xxxxx           xxxxx     h/v       0/22      14/18     0/12      x/x",
          "t       12663           22000     hor       0         14        0         3/4",
      },
      "");
  return text;
}

const std::string& ProgramBanner() {
  static const std::string text = Box(
      "\n",
      {
          "[program information]",
          "tag     prog_name       sat_index tp_index  serviceID video_pid audio_pid pcr_pid   "
          "txt_pid   scramble  favorite  lock",
          "(v/r)   \"ccccccccccccc\" xx        xxx       xxxxx     xxxx      xxxx      xxxx      "
          "xxxx      0/1       0/1       0/1",
          "v       \"ZDF On-line\"   1         2         2048      4096      4097      4096      "
          "4000      0         1         0",
      },
      "");
  return text;
}

}  // namespace tavlink
