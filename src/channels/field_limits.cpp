#include "channels/field_limits.h"

#include <utility>

namespace tavlink::channels {
namespace {

FieldProblem Problem(std::string field, std::string message) {
  return FieldProblem{std::move(field), std::move(message)};
}

std::optional<FieldProblem> PidProblem(const char* field, uint16_t value) {
  if (value <= kMaxPid) return std::nullopt;
  return Problem(field, std::string(field) + " must be 0 to 8191");
}

}  // namespace

std::optional<FieldProblem> NameProblem(std::string_view name, int maxLength) {
  if (name.size() > static_cast<size_t>(maxLength)) {
    return Problem("name", "name must be at most " + std::to_string(maxLength) + " characters");
  }
  if (name.find('"') != std::string_view::npos) {
    return Problem("name", "name must not contain a double quote");
  }
  if (name.find('\n') != std::string_view::npos) {
    return Problem("name", "name must not contain a line feed");
  }
  if (name.find('\0') != std::string_view::npos) {
    return Problem("name", "name must not contain a zero byte");
  }
  return std::nullopt;
}

std::optional<FieldProblem> SatelliteProblem(const SatelliteFields& f) {
  if (auto problem = NameProblem(f.name, kMaxSatelliteNameLength)) return problem;
  if (f.angle > kMaxAngle) return Problem("angle", "angle must be 0.0 to 180.0");
  if (f.diseqc > Diseqc::kD) return Problem("DiSEqC", "DiSEqC must be none, a, b, c or d");
  if (f.tone_22khz > Tone::k22) return Problem("22KHz", "22KHz must be none, 0 or 22");
  if (f.switch_0_12v > Switch12::k12V) return Problem("0/12V", "0/12V must be none, 0 or 12");
  if (f.voltage_14_18v > Voltage::k18V) {
    return Problem("14/18V", "14/18V must be none, 14 or 18");
  }
  return std::nullopt;
}

std::optional<FieldProblem> TransponderProblem(const TransponderFields& f) {
  if (f.fec > Fec::k7_8) return Problem("FEC", "FEC must be auto, 1/2, 2/3, 3/4, 5/6 or 7/8");
  return std::nullopt;
}

std::optional<FieldProblem> ServiceProblem(const ServiceFields& f) {
  if (auto problem = NameProblem(f.name, kMaxServiceNameLength)) return problem;
  if (auto problem = PidProblem("video_pid", f.video_pid)) return problem;
  if (auto problem = PidProblem("audio_pid", f.audio_pid)) return problem;
  if (auto problem = PidProblem("pcr_pid", f.pcr_pid)) return problem;
  if (auto problem = PidProblem("txt_pid", f.txt_pid)) return problem;
  return std::nullopt;
}

std::optional<FieldProblem> AntennaConfigProblem(int32_t value) {
  if (value >= -1 && value <= 8) return std::nullopt;
  return Problem("antenna_config", "antenna_config must be -1 to 8");
}

}  // namespace tavlink::channels
