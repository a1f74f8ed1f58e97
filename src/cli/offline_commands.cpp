// check, text-to-block and block-to-text: the data text reader and writer on
// files, without a receiver.

#include <cstdio>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "channels/channel_list.h"
#include "cli/env.h"
#include "cli/list_files.h"
#include "cli/offline_files.h"
#include "cli/output_file.h"
#include "data/data_text.h"

namespace tavlink::cli {
namespace {

struct OfflineArguments {
  std::string checkFile;
  bool list = false;
  std::string textIn, blockOut;
  std::string blockIn, textOut;
};

int RunCheck(Terminal& terminal, const std::string& textPath, bool list) {
  const auto block = std::make_unique<ReceiverDataBlock>();
  int readerResult = kReadOk;
  const int status = ReadDataTextFile(terminal, textPath, *block, &readerResult);
  if (status == kExitFailure) return readerResult;  // check alone gives the reader's result
  if (status != kExitOk) return status;
  terminal.Out(textPath + ": " + std::to_string(block->sat_count()) + " satellites, " +
               std::to_string(block->tp_count()) + " transponders, " +
               std::to_string(block->service_count()) + " services, antenna_config " +
               std::to_string(block->antenna_config()) + "\n");
  if (list) terminal.Out(ResolvedServices(channels::ChannelList::FromBlock(*block)));
  return kExitOk;
}

int RunTextToBlock(Terminal& terminal, const std::string& textPath, const std::string& blockPath) {
  const auto block = std::make_unique<ReceiverDataBlock>();
  const int status = ReadDataTextFile(terminal, textPath, *block);
  if (status != kExitOk) return status;
  const auto output = PrepareOutput(terminal, blockPath, textPath);
  if (!output) return kExitUsage;
  // A short write shows in the stream's error flag, which Commit reports.
  std::fwrite(block->bytes(), 1, ReceiverDataBlock::kSize, output->stream());
  return CommitOutput(terminal, *output, blockPath) ? kExitOk : kExitUsage;
}

int RunBlockToText(Terminal& terminal, const std::string& blockPath, const std::string& textPath) {
  const auto block = std::make_unique<ReceiverDataBlock>();
  const int status = ReadBlockFile(terminal, blockPath, *block);
  if (status != kExitOk) return status;
  const auto output = PrepareOutput(terminal, textPath, blockPath);
  if (!output) return kExitUsage;
  StringTextOutput text;
  WriteDataText(*block, text);  // the block is valid: ReadBlockFile checked it
  std::fwrite(text.str().data(), 1, text.str().size(), output->stream());
  if (!CommitOutput(terminal, *output, textPath)) return kExitUsage;
  WarnIfTextDoesNotReadBack(terminal, textPath, text.str());
  return kExitOk;
}

}  // namespace

void RegisterOfflineCommands(CLI::App& app, Env& env, int* exitStatus) {
  auto args = std::make_shared<OfflineArguments>();

  CLI::App* check = app.add_subcommand(
      "check",
      "Read a data text file and print how many satellites, transponders and services "
      "it holds; on an error print the reader's message and exit with its result (1-9)");
  check->add_option("FILE", args->checkFile, "data text file")->required();
  check->add_flag("--list", args->list,
                  "also print each service as the receiver will take it: its position, name, "
                  "TV or radio, transponder, satellite and service_id");
  check->callback([&env, args, exitStatus] {
    *exitStatus = RunCheck(env.terminal, args->checkFile, args->list);
  });

  CLI::App* toBlock = app.add_subcommand(
      "text-to-block",
      "Read a data text file into an empty receiver data block and write its 65,536-byte image; "
      "nothing is written when the text has an error (exit status 1)");
  toBlock->add_option("FILE.txt", args->textIn, "data text file to read")->required();
  toBlock->add_option("BLOCK.bin", args->blockOut, "block image to write")->required();
  toBlock->callback([&env, args, exitStatus] {
    *exitStatus = RunTextToBlock(env.terminal, args->textIn, args->blockOut);
  });

  CLI::App* toText = app.add_subcommand(
      "block-to-text",
      "Write the data text of a 65,536-byte receiver data block image; a file of another size "
      "or an invalid block is refused, and a text that would not read back is saved with a "
      "warning");
  toText->add_option("BLOCK.bin", args->blockIn, "block image to read")->required();
  toText->add_option("FILE.txt", args->textOut, "data text file to write")->required();
  toText->callback([&env, args, exitStatus] {
    *exitStatus = RunBlockToText(env.terminal, args->blockIn, args->textOut);
  });
}

}  // namespace tavlink::cli
