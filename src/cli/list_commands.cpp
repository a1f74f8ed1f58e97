// diff, and check --list: channel lists compared and shown as the receiver
// will take them, from data texts or block images, without a receiver.

#include <memory>
#include <optional>
#include <string>

#include "channels/channel_list.h"
#include "channels/data_text_load.h"
#include "channels/diff_format.h"
#include "channels/list_compare.h"
#include "cli/commands.h"
#include "cli/list_files.h"
#include "cli/terminal.h"

namespace tavlink::cli {
namespace {

struct DiffArguments {
  std::string before, after;
  bool json = false;
};

int RunDiff(Terminal& terminal, const DiffArguments& args) {
  const std::optional<channels::ChannelList> before = LoadChannelList(terminal, args.before);
  if (!before) return kExitUsage;
  const std::optional<channels::ChannelList> after = LoadChannelList(terminal, args.after);
  if (!after) return kExitUsage;
  const channels::ListDiff diff = channels::CompareLists(*before, *after);
  if (args.json) {
    terminal.Out(channels::DiffJson(diff) + "\n");
  } else {
    terminal.Out(channels::DiffSummary(diff) + "\n" + channels::DiffListing(diff));
  }
  return diff.empty() ? kExitOk : kExitFailure;
}

}  // namespace

void RegisterListCommands(CLI::App& app, Env& env, int* exitStatus) {
  auto args = std::make_shared<DiffArguments>();
  CLI::App* diff = app.add_subcommand(
      "diff",
      "Compare two channel lists (data texts or 65,536-byte block images, in any mix) record by "
      "record: a one-line summary, then one line per difference; exit status 0 when they are "
      "the same, 1 when they differ, 2 when a file cannot be read");
  diff->add_option("A", args->before, "the list before: data text or block image")->required();
  diff->add_option("B", args->after, "the list after: data text or block image")->required();
  diff->add_flag("--json", args->json, "print the comparison as JSON, for scripts");
  diff->callback([&env, args, exitStatus] { *exitStatus = RunDiff(env.terminal, *args); });
}

}  // namespace tavlink::cli
