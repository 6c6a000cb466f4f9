// The simulated condmgr.dll: conduit registrations, one field a line.
#include <type_traits>

#include "SimCall.h"
#include "hotsync/PalmDesktopApi.h"

using namespace palmsim;
namespace api = lockwell::palm;

namespace {

bool Registered(const SimState& state, const std::string& creator) {
  for (const auto& r : state.Registrations()) {
    if (r.creator == creator) return true;
  }
  return false;
}

// Sets one field of a registered creator.
int32_t SetField(SimState& state, const char* creator, const std::string& field, const std::string& value) {
  if (creator == nullptr) return kErrBadArgument;
  if (!Registered(state, creator)) return kErrNoSuchCreator;
  std::vector<Registration> all = state.Registrations();
  bool replaced = false;
  for (auto& r : all) {
    if (r.creator == creator && r.field == field) {
      r.value = value;
      replaced = true;
    }
  }
  if (!replaced) all.push_back({creator, field, value});
  return state.SetRegistrations(all) ? 0 : kErrNoState;
}

}  // namespace

PALMSIM_EXPORT int32_t CmRemoveConduitByCreatorID(const char* creatorId) {
  return RunCall("CmRemoveConduitByCreatorID", {Text(creatorId)}, [&](SimState& state) {
    if (creatorId == nullptr) return kErrBadArgument;
    std::vector<Registration> kept;
    for (const auto& r : state.Registrations()) {
      if (r.creator != creatorId) kept.push_back(r);
    }
    if (kept.size() == state.Registrations().size()) return kErrNoSuchCreator;
    return state.SetRegistrations(kept) ? 0 : kErrNoState;
  });
}

PALMSIM_EXPORT int32_t CmInstallCreator(const char* creatorId, int32_t conduitType) {
  return RunCall("CmInstallCreator", {Text(creatorId), std::to_string(conduitType)}, [&](SimState& state) {
    if (creatorId == nullptr) return kErrBadArgument;
    if (Registered(state, creatorId)) return kErrCreatorInUse;
    std::vector<Registration> all = state.Registrations();
    all.push_back({creatorId, "Type", std::to_string(conduitType)});
    return state.SetRegistrations(all) ? 0 : kErrNoState;
  });
}

#define PALMSIM_TEXT_FIELD(function, field)                                               \
  PALMSIM_EXPORT int32_t function(const char* creatorId, const char* text) {              \
    return RunCall(#function, {Text(creatorId), Text(text)}, [&](SimState& state) {       \
      return text == nullptr ? kErrBadArgument : SetField(state, creatorId, field, text); \
    });                                                                                   \
  }                                                                                       \
  static_assert(std::is_same_v<decltype(&function), api::CmSetCreatorTextFn>);

#define PALMSIM_NUMBER_FIELD(function, field)                                                   \
  PALMSIM_EXPORT int32_t function(const char* creatorId, uint32_t number) {                     \
    return RunCall(#function, {Text(creatorId), std::to_string(number)}, [&](SimState& state) { \
      return SetField(state, creatorId, field, std::to_string(number));                         \
    });                                                                                         \
  }                                                                                             \
  static_assert(std::is_same_v<decltype(&function), api::CmSetCreatorNumberFn>);

PALMSIM_TEXT_FIELD(CmSetCreatorName, "Name")
PALMSIM_TEXT_FIELD(CmSetCreatorDirectory, "Directory")
PALMSIM_TEXT_FIELD(CmSetCreatorFile, "File")
PALMSIM_TEXT_FIELD(CmSetCreatorRemote, "Remote")
PALMSIM_TEXT_FIELD(CmSetCreatorModule, "Module")
PALMSIM_TEXT_FIELD(CmSetCreatorInfo, "Info")
PALMSIM_NUMBER_FIELD(CmSetCreatorPriority, "Priority")
PALMSIM_NUMBER_FIELD(CmSetCreatorIntegrate, "Integrate")

PALMSIM_EXPORT int32_t CmSetCreatorValueDword(const char* creatorId, const char* valueName, uint32_t value) {
  return RunCall("CmSetCreatorValueDword", {Text(creatorId), Text(valueName), std::to_string(value)},
                 [&](SimState& state) {
                   if (valueName == nullptr) return kErrBadArgument;
                   return SetField(state, creatorId, std::string("Value ") + valueName,
                                   std::to_string(value));
                 });
}

static_assert(std::is_same_v<decltype(&CmRemoveConduitByCreatorID), api::CmRemoveConduitByCreatorIDFn>);
static_assert(std::is_same_v<decltype(&CmInstallCreator), api::CmInstallCreatorFn>);
static_assert(std::is_same_v<decltype(&CmSetCreatorValueDword), api::CmSetCreatorValueDwordFn>);
