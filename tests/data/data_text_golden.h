#pragma once
// The four banners exactly as they stand in a data text file, CR LF line ends.

namespace tavlink::testing {
// clang-format off
inline constexpr const char* kBannerA =
    "##########################################################################################################################\r\n"
    "#                                                                                                                        #\r\n"
    "# Factory data of ZOR digital satellite receiver.                                                                        #\r\n"
    "# DOS text file.                                                                                                         #\r\n"
    "#                                                                                                                        #\r\n"
    "##########################################################################################################################\r\n"
    "\r\n"
    ;
inline constexpr const char* kBannerB =
    "##########################################################################################################################\r\n"
    "# [antenna information]                                                                                                  #\r\n"
    "# tag          antenna_config                                                                                            #\r\n"
    "# (a)          -1...8                                                                                                    #\r\n"
    "#              -1: Ignore switch config => The antenna_config_value on sat_definition_line will be used.                 #\r\n"
    "#              0 : none                                                                                                  #\r\n"
    "#              1 : DiSEqC                                                                                                #\r\n"
    "#              2 : 22KHz                                                                                                 #\r\n"
    "#              3 : 012V                                                                                                  #\r\n"
    "#              4 : 14/18V + 22KHz                                                                                        #\r\n"
    "#              5 : 0/12V + 14/18V                                                                                        #\r\n"
    "#              6 : 0/12V + 22KHz                                                                                         #\r\n"
    "#              7 : 0/12V + DiSEqC                                                                                        #\r\n"
    "#              8 : 0/12V + 14/18V + 22KHz                                                                                #\r\n"
    "# *** antenna information is optional. ***                                                                               #\r\n"
    "##########################################################################################################################\r\n"
    ;
inline constexpr const char* kBannerC =
    "\r\n"
    "##########################################################################################################################\r\n"
    "# [satellite information]                                                                                                #\r\n"
    "# tag     sat_name        lnb_low   lnb_high  lnb_type  angle     east_west DiSEqC    22KHz   0/12V   14/18V             #\r\n"
    "# (s)     \"ccccccccc\"     xxxxx     xxxxx     u/n       xxx.x     e/w       n/a/b/c/d n/0/22  n/0/12  n/14/18            #\r\n"
    "# s       \"ASTRA DEF\"     9750      10600     universal 19.2      east      a         n       n       n                  #\r\n"
    "#                                                                                                                        #\r\n"
    "# [transponder information]                                                                                              #\r\n"
    "# tag     frequency       symbol    polar     22K       14/18V    0/12V     FEC                                          #\r\n"
    "# (t)     xxxxx           xxxxx     h/v       0/22      14/18     0/12      x/x                                          #\r\n"
    "# t       12663           22000     hor       0         14        0         3/4                                          #\r\n"
    "##########################################################################################################################\r\n"
    ;
inline constexpr const char* kBannerD =
    "\r\n"
    "##########################################################################################################################\r\n"
    "# [program information]                                                                                                  #\r\n"
    "# tag     prog_name       sat_index tp_index  serviceID video_pid audio_pid pcr_pid   txt_pid   scramble  favorite  lock #\r\n"
    "# (v/r)   \"ccccccccccccc\" xx        xxx       xxxxx     xxxx      xxxx      xxxx      xxxx      0/1       0/1       0/1  #\r\n"
    "# v       \"ZDF On-line\"   1         2         2048      4096      4097      4096      4000      0         1         0    #\r\n"
    "##########################################################################################################################\r\n"
    ;
// clang-format on
}  // namespace tavlink::testing
