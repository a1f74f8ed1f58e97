#include "channels/diff_format.h"

#include <array>
#include <cstdio>

namespace tavlink::channels {
namespace {

constexpr std::array<Table, 3> kSummaryTables = {Table::kServices, Table::kTransponders,
                                                 Table::kSatellites};
constexpr std::array<DiffKind, 4> kSummaryKinds = {DiffKind::kAdded, DiffKind::kMoved,
                                                   DiffKind::kRemoved, DiffKind::kChanged};

const char* TableWord(Table table) {
  return table == Table::kSatellites     ? "satellite"
         : table == Table::kTransponders ? "transponder"
                                         : "service";
}

const char* KindWord(DiffKind kind) {
  switch (kind) {
    case DiffKind::kAdded:
      return "added";
    case DiffKind::kRemoved:
      return "removed";
    case DiffKind::kMoved:
      return "moved";
    case DiffKind::kChanged:
      return "changed";
  }
  return "";
}

void AppendJsonString(std::string& out, std::string_view text) {
  out.push_back('"');
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (b < 0x20 || b >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", b);
      out += escaped;
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
}

}  // namespace

std::string DiffSummary(const ListDiff& diff) {
  std::string text;
  for (const Table table : kSummaryTables) {
    bool first = true;
    for (const DiffKind kind : kSummaryKinds) {
      const int count = diff.Count(table, kind);
      if (count == 0) continue;
      if (!text.empty()) text += ", ";
      text += std::to_string(count);
      if (first) {
        text += " ";
        text += TableWord(table);
        if (count != 1) text += "s";
        first = false;
      }
      text += " ";
      text += KindWord(kind);
    }
  }
  if (diff.antenna_config)
    text += text.empty() ? "antenna_config changed" : ", antenna_config changed";
  return text.empty() ? "no differences" : text;
}

std::string DiffListing(const ListDiff& diff) {
  std::string text;
  if (diff.antenna_config) {
    text += "antenna_config: " + std::to_string(diff.antenna_config->before) + " -> " +
            std::to_string(diff.antenna_config->after) + "\n";
  }
  for (const RecordDiff& r : diff.records) {
    // A transponder's label names it well enough; its number is its tp_index.
    const int position = r.kind == DiffKind::kRemoved ? r.before_position : r.after_position;
    text += TableWord(r.table);
    if (r.table != Table::kTransponders) {
      text += ' ';
      text += std::to_string(position);
    }
    text += ' ';
    text += r.label;
    text += ": ";
    switch (r.kind) {
      case DiffKind::kAdded:
        text += "added";
        break;
      case DiffKind::kRemoved:
        text += "removed";
        break;
      case DiffKind::kMoved:
        text += "moved from " + std::to_string(r.before_position) + " to " +
                std::to_string(r.after_position);
        break;
      case DiffKind::kChanged:
        for (size_t i = 0; i < r.fields.size(); ++i) {
          if (i > 0) text += ", ";
          text += r.fields[i].field + " " + r.fields[i].before + " -> " + r.fields[i].after;
        }
        break;
    }
    text += "\n";
  }
  return text;
}

std::string DiffJson(const ListDiff& diff) {
  std::string out = "{\"equal\":";
  out += diff.empty() ? "true" : "false";
  out += ",\"summary\":";
  AppendJsonString(out, DiffSummary(diff));
  out += ",\"antenna_config\":";
  if (diff.antenna_config) {
    out += "{\"before\":" + std::to_string(diff.antenna_config->before) +
           ",\"after\":" + std::to_string(diff.antenna_config->after) + "}";
  } else {
    out += "null";
  }
  out += ",\"differences\":[";
  for (size_t i = 0; i < diff.records.size(); ++i) {
    const RecordDiff& r = diff.records[i];
    if (i > 0) out += ",";
    out += "{\"table\":\"";
    out += TableWord(r.table);
    out += "\",\"kind\":\"";
    out += KindWord(r.kind);
    out += "\",\"label\":";
    AppendJsonString(out, r.label);
    out += ",\"before\":" + std::to_string(r.before_position) +
           ",\"after\":" + std::to_string(r.after_position) + ",\"fields\":[";
    for (size_t k = 0; k < r.fields.size(); ++k) {
      if (k > 0) out += ",";
      out += "{\"field\":";
      AppendJsonString(out, r.fields[k].field);
      out += ",\"before\":";
      AppendJsonString(out, r.fields[k].before);
      out += ",\"after\":";
      AppendJsonString(out, r.fields[k].after);
      out += "}";
    }
    out += "]}";
  }
  out += "]}";
  return out;
}

}  // namespace tavlink::channels
