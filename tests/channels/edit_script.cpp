#include "channels/edit_script.h"

#include <type_traits>
#include <vector>

namespace tavlink::channels::testing {

uint32_t ByteChoices::Next(uint32_t bound) {
  if (bound <= 1) return 0;
  uint32_t value = 0;
  for (uint32_t range = 1; range < bound && at_ < bytes_.size(); range <<= 8) {
    value = (value << 8) | bytes_[at_++];
  }
  return value % bound;
}

namespace {

class Script {
 public:
  Script(ChannelEditor& editor, ChoiceSource& choose, const ChannelList& reference)
      : editor_(editor), list_(editor.list()), choose_(choose), reference_(reference) {}

  ScriptedEdit Run() {
    switch (choose_.Next(24)) {
      case 0:
        return Do("insert satellites", [&] {
          const auto fields = Many([&] { return SatelliteFieldsNow(); }, 3);
          return editor_.InsertSatellites(Position(list_.satellites().size()), fields);
        });
      case 1:
        return Do("change satellite", [&] {
          const SatelliteId id = Pick<SatelliteId>(list_.satellites());
          return editor_.ChangeSatellites(std::vector<SatelliteChange>{{id, SatelliteFieldsNow()}});
        });
      case 2:
        return Do("move satellites", [&] {
          return editor_.MoveSatellites(Some<SatelliteId>(list_.satellites()), Move());
        });
      case 3:
        return Do("delete satellites", [&] {
          return editor_.DeleteSatellites(Some<SatelliteId>(list_.satellites(), 2));
        });
      case 4:
      case 5:
        return Do("insert transponders", [&] {
          const SatelliteId sat = Pick<SatelliteId>(list_.satellites());
          const auto fields = Many([&] { return TransponderFieldsNow(); }, 4);
          return editor_.InsertTransponders(sat, choose_.Between(-1, 300), fields);
        });
      case 6:
        return Do("change transponder", [&] {
          const TransponderId id = Pick<TransponderId>(list_.transponders());
          return editor_.ChangeTransponders(
              std::vector<TransponderChange>{{id, TransponderFieldsNow()}});
        });
      case 7:
        return Do("move transponders", [&] {
          return editor_.MoveTransponders(Some<TransponderId>(list_.transponders()), Move());
        });
      case 8:
        return Do("move transponders to satellite", [&] {
          const auto ids = Some<TransponderId>(list_.transponders());
          return editor_.MoveTranspondersToSatellite(ids, Pick<SatelliteId>(list_.satellites()));
        });
      case 9:
        return Do("delete transponders", [&] {
          return editor_.DeleteTransponders(Some<TransponderId>(list_.transponders(), 3));
        });
      case 10:
      case 11:
        return Do("insert services", [&] {
          const auto fields = Many([&] { return ServiceFieldsNow(); }, 5);
          return editor_.InsertServices(Position(list_.services().size()), fields);
        });
      case 12:
        return Do("change service", [&] {
          const ServiceId id = Pick<ServiceId>(list_.services());
          ServiceFields fields = ServiceFieldsNow();
          if (const Service* s = list_.Find(id); s && choose_.OneIn(2)) {
            fields = s->fields();  // a rename, or one field
            if (choose_.OneIn(2))
              fields.name = Name(14);
            else
              fields.favorite = !fields.favorite;
          }
          return editor_.ChangeServices(std::vector<ServiceChange>{{id, fields}});
        });
      case 13:
      case 14:
        return Do("move services",
                  [&] { return editor_.MoveServices(Some<ServiceId>(list_.services()), Move()); });
      case 15:
        return Do("delete services",
                  [&] { return editor_.DeleteServices(Some<ServiceId>(list_.services())); });
      case 16:
        return Do("sort services",
                  [&] { return editor_.SortServices(static_cast<ServiceSort>(choose_.Next(4))); });
      case 17:
        return Do("apply reference order", [&] { return editor_.ApplyServiceOrder(reference_); });
      case 18:
        return Do("set service flag", [&] {
          return editor_.SetServiceFlag(Some<ServiceId>(list_.services()),
                                        static_cast<ServiceFlag>(choose_.Next(3)),
                                        choose_.OneIn(2));
        });
      case 19:
        return Do("remove duplicates", [&] {
          return editor_.RemoveDuplicateServices(static_cast<DuplicateKind>(choose_.Next(2)));
        });
      case 20:
        return Do("set antenna_config",
                  [&] { return editor_.SetAntennaConfig(choose_.Between(-3, 10)); });
      case 21:
      case 22:
        return Do("undo", [&] { return editor_.Undo(); });
      default:
        return Do("redo", [&] { return editor_.Redo(); });
    }
  }

 private:
  template <typename F>
  ScriptedEdit Do(const char* what, F edit) {
    return ScriptedEdit{what, edit()};
  }

  int Position(size_t size) { return choose_.Between(-1, static_cast<int>(size) + 1); }

  template <typename F>
  std::vector<std::invoke_result_t<F>> Many(F make, int most) {
    std::vector<std::invoke_result_t<F>> items;
    const int count = choose_.OneIn(8) ? choose_.Between(0, 40) : choose_.Between(1, most);
    for (int i = 0; i < count; ++i) items.push_back(make());
    return items;
  }

  // Mostly a record of the list; sometimes one it does not hold.
  template <typename Id, typename Rows>
  Id Pick(const Rows& rows) {
    if (rows.empty() || choose_.OneIn(16)) return Id{choose_.Next(3) * 40000u};
    return rows[choose_.Next(static_cast<uint32_t>(rows.size()))].id();
  }

  template <typename Id, typename Rows>
  std::vector<Id> Some(const Rows& rows, int most = 6) {
    std::vector<Id> ids;
    const int count = choose_.OneIn(10) ? choose_.Between(0, 200) : choose_.Between(1, most);
    for (int i = 0; i < count; ++i) ids.push_back(Pick<Id>(rows));
    return ids;
  }

  MoveTo Move() {
    switch (choose_.Next(5)) {
      case 0:
        return MoveTo::Up();
      case 1:
        return MoveTo::Down();
      case 2:
        return MoveTo::Top();
      case 3:
        return MoveTo::Bottom();
      default:
        return MoveTo::ToPosition(choose_.Between(-2, 1600));
    }
  }

  std::string Name(int most) {
    static const std::string kChars = "AZaz09 #\t\r\xE9";
    std::string name(static_cast<size_t>(choose_.Between(0, most)), 'x');
    for (char& c : name) c = kChars[choose_.Next(static_cast<uint32_t>(kChars.size()))];
    if (choose_.OneIn(30)) name += choose_.OneIn(2) ? '"' : '\n';
    return name;
  }

  uint16_t U16() { return static_cast<uint16_t>(choose_.Next(65536)); }
  // Beyond the limit now and then.
  uint16_t Pid() {
    return static_cast<uint16_t>(choose_.OneIn(40) ? 8192 + choose_.Next(100) : choose_.Next(8192));
  }

  SatelliteFields SatelliteFieldsNow() {
    SatelliteFields f;
    f.name = Name(choose_.OneIn(20) ? 12 : 9);
    f.lnb_low = U16();
    f.lnb_high = U16();
    f.universal_lnb = choose_.OneIn(2);
    f.angle =
        static_cast<uint16_t>(choose_.OneIn(30) ? 1801 + choose_.Next(300) : choose_.Next(1801));
    f.west = choose_.OneIn(2);
    f.diseqc = static_cast<Diseqc>(choose_.Next(choose_.OneIn(40) ? 9 : 5));
    f.tone_22khz = static_cast<Tone>(choose_.Next(3));
    f.switch_0_12v = static_cast<Switch12>(choose_.Next(3));
    f.voltage_14_18v = static_cast<Voltage>(choose_.Next(choose_.OneIn(40) ? 6 : 3));
    return f;
  }

  TransponderFields TransponderFieldsNow() {
    TransponderFields f;
    f.frequency = U16();
    f.symbolrate = U16();
    f.horizontal = choose_.OneIn(2);
    f.tone_22khz = choose_.OneIn(2);
    f.voltage_18v = choose_.OneIn(2);
    f.switch_12v = choose_.OneIn(2);
    f.fec = static_cast<Fec>(choose_.Next(choose_.OneIn(20) ? 8 : 6));
    return f;
  }

  ServiceFields ServiceFieldsNow() {
    ServiceFields f;
    f.name = Name(choose_.OneIn(20) ? 16 : 13);
    f.transponder = Pick<TransponderId>(list_.transponders());
    f.radio = choose_.OneIn(3);
    f.service_id = static_cast<uint16_t>(choose_.OneIn(2) ? choose_.Next(6) : U16());
    f.video_pid = Pid();
    f.audio_pid = Pid();
    f.pcr_pid = Pid();
    f.txt_pid = Pid();
    f.scramble = choose_.OneIn(2);
    f.favorite = choose_.OneIn(2);
    f.lock = choose_.OneIn(2);
    return f;
  }

  ChannelEditor& editor_;
  const ChannelList& list_;
  ChoiceSource& choose_;
  const ChannelList& reference_;
};

}  // namespace

ScriptedEdit ApplyScriptedEdit(ChannelEditor& editor, ChoiceSource& choose,
                               const ChannelList& reference) {
  return Script(editor, choose, reference).Run();
}

}  // namespace tavlink::channels::testing
