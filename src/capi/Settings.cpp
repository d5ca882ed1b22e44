// Settings, their ranges, saved settings and late binding of the C interface.
#include <optional>
#include <utility>

#include "capi/Handle.h"
#include "strings/Unicode.h"

using parlan::capi::Guard;

namespace parlan::capi {
namespace {

std::optional<std::pair<int32_t, int32_t>> RangeOf(Parlana& c, int s) {
  switch (s) {
    case PARLAN_PITCH:
      return std::pair{c.MinPitch(), c.MaxPitch()};
    case PARLAN_SPEED:
      return std::pair{c.MinSpeed(), c.MaxSpeed()};
    case PARLAN_VOLUME:
      return std::pair{c.MinVolume(), c.MaxVolume()};
    case PARLAN_CURRENT_MODE:
      return std::pair{1, c.CountEngines()};
    case PARLAN_DEBUGGING:
    case PARLAN_NEVER_DEBUG:
      return std::pair{0, 1};
  }
  return std::nullopt;
}

bool ToVariant(const parlan_value& v, Variant& out) {
  switch (v.type) {
    case PARLAN_VALUE_EMPTY:
      out = Variant();
      return true;
    case PARLAN_VALUE_BOOL:
      out = Variant(v.integer != 0);
      return true;
    case PARLAN_VALUE_INTEGER:
      if (v.integer < INT16_MIN || v.integer > INT16_MAX) return false;
      out = Variant(static_cast<int16_t>(v.integer));
      return true;
    case PARLAN_VALUE_LONG:
      out = Variant(v.integer);
      return true;
    case PARLAN_VALUE_DOUBLE:
      out = Variant(v.number);
      return true;
    case PARLAN_VALUE_STRING: {
      std::u16string text;
      if (!v.text || !Utf8ToUtf16(v.text, text)) return false;
      out = Variant(std::move(text));
      return true;
    }
  }
  return false;
}

parlan_value FromVariant(parlan_control& h, const Variant& v) {
  parlan_value out{PARLAN_VALUE_EMPTY, 0, 0.0, nullptr};
  switch (v.type()) {
    case Variant::Type::Empty:
      break;
    case Variant::Type::Boolean:
      out = {PARLAN_VALUE_BOOL, v.AsBool() ? 1 : 0, 0.0, nullptr};
      break;
    case Variant::Type::Integer:
      out = {PARLAN_VALUE_INTEGER, v.AsInteger(), 0.0, nullptr};
      break;
    case Variant::Type::Long:
      out = {PARLAN_VALUE_LONG, v.AsLong(), 0.0, nullptr};
      break;
    case Variant::Type::Double:
      out = {PARLAN_VALUE_DOUBLE, 0, v.AsDouble(), nullptr};
      break;
    case Variant::Type::String:
      h.Written.push_back(ToUtf8(v.AsString()));
      out = {PARLAN_VALUE_STRING, 0, 0.0, nullptr};
      break;
  }
  return out;
}

int StatusCode(DispatchStatus s) {
  switch (s) {
    case DispatchStatus::Ok:
      return PARLAN_OK;
    case DispatchStatus::UnknownName:
    case DispatchStatus::UnknownMember:
      return PARLAN_ERROR_NOT_FOUND;
    case DispatchStatus::BadArgumentCount:
    case DispatchStatus::BadArgumentType:
      return PARLAN_ERROR_ARGUMENT;
    case DispatchStatus::Failed:
      break;
  }
  return PARLAN_ERROR_FAILED;
}

}  // namespace
}  // namespace parlan::capi

using namespace parlan;

extern "C" {

int parlan_get(parlan_control* control, int setting, int32_t* value) {
  return Guard(control, [&](parlan_control& h) -> int {
    if (!value) return PARLAN_ERROR_ARGUMENT;
    Parlana& c = *h.Control;
    switch (setting) {
      case PARLAN_PITCH:
        *value = c.Pitch();
        return PARLAN_OK;
      case PARLAN_SPEED:
        *value = c.Speed();
        return PARLAN_OK;
      case PARLAN_VOLUME:
        *value = c.Volume();
        return PARLAN_OK;
      case PARLAN_CURRENT_MODE:
        *value = c.CurrentMode();
        return PARLAN_OK;
      case PARLAN_DEBUGGING:
        *value = c.Debugging() ? 1 : 0;
        return PARLAN_OK;
      case PARLAN_NEVER_DEBUG:
        *value = c.NeverDebug() ? 1 : 0;
        return PARLAN_OK;
    }
    return PARLAN_ERROR_ARGUMENT;
  });
}

int parlan_set(parlan_control* control, int setting, int32_t value) {
  return Guard(control, [&](parlan_control& h) -> int {
    Parlana& c = *h.Control;
    auto range = capi::RangeOf(c, setting);
    if (!range) return PARLAN_ERROR_ARGUMENT;
    if (value < range->first || value > range->second) return PARLAN_ERROR_RANGE;
    switch (setting) {
      case PARLAN_PITCH:
        c.SetPitch(value);
        break;
      case PARLAN_SPEED:
        c.SetSpeed(value);
        break;
      case PARLAN_VOLUME:
        c.SetVolume(value);
        break;
      case PARLAN_CURRENT_MODE:
        c.SetCurrentMode(value);
        break;
      case PARLAN_DEBUGGING:
        c.SetDebugging(value != 0);
        break;
      case PARLAN_NEVER_DEBUG:
        c.SetNeverDebug(value != 0);
        break;
    }
    return PARLAN_OK;
  });
}

int parlan_range(parlan_control* control, int setting, int32_t* min, int32_t* max) {
  return Guard(control, [&](parlan_control& h) -> int {
    auto range = capi::RangeOf(*h.Control, setting);
    if (!range || !min || !max) return PARLAN_ERROR_ARGUMENT;
    *min = range->first;
    *max = range->second;
    return PARLAN_OK;
  });
}

int parlan_save_settings(parlan_control* control, const char* path) {
  return Guard(control, [&](parlan_control& h) -> int {
    if (!path || !*path) return PARLAN_ERROR_ARGUMENT;
    FilePropertyStore store(path);
    h.Control->WriteProperties(store);
    return store.Save() ? PARLAN_OK : PARLAN_ERROR_FILE;
  });
}

int parlan_load_settings(parlan_control* control, const char* path) {
  return Guard(control, [&](parlan_control& h) -> int {
    if (!path || !*path) return PARLAN_ERROR_ARGUMENT;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return PARLAN_ERROR_FILE;
    FilePropertyStore store(path);
    if (!store.Load()) return PARLAN_ERROR_FILE;
    h.Control->ReadProperties(store);
    return PARLAN_OK;
  });
}

int parlan_dispatch_id(const char* name, int32_t* dispid) {
  try {
    std::u16string n;
    if (!name || !dispid || !Utf8ToUtf16(name, n)) return PARLAN_ERROR_ARGUMENT;
    return capi::StatusCode(Parlana::GetIdOfName(n, *dispid));
  } catch (...) {
    return PARLAN_ERROR_FAILED;
  }
}

int parlan_invoke(parlan_control* control, int32_t dispid, int kind, parlan_value* args,
                  size_t arg_count, parlan_value* result) {
  return Guard(control, [&](parlan_control& h) -> int {
    if (arg_count > 0 && !args) return PARLAN_ERROR_ARGUMENT;
    DispatchKind k = DispatchKind::Method;
    if (kind == PARLAN_CALL_GET)
      k = DispatchKind::PropertyGet;
    else if (kind == PARLAN_CALL_PUT)
      k = DispatchKind::PropertyPut;
    else if (kind != PARLAN_CALL_METHOD)
      return PARLAN_ERROR_ARGUMENT;
    std::vector<Variant> in(arg_count);
    for (size_t i = 0; i < arg_count; ++i)
      if (!capi::ToVariant(args[i], in[i])) return PARLAN_ERROR_ARGUMENT;
    Variant answer;
    const int status = capi::StatusCode(h.Control->Invoke(dispid, k, in, answer));
    if (status != PARLAN_OK) return status;
    // Strings go into the handle first; pointers are taken once the list stops growing.
    h.Written.clear();
    h.Written.reserve(arg_count + 1);
    std::vector<parlan_value> back(arg_count);
    std::vector<int> text_of(arg_count + 1, -1);
    for (size_t i = 0; i <= arg_count; ++i) {
      const Variant& v = i < arg_count ? in[i] : answer;
      if (v.type() == Variant::Type::String) text_of[i] = static_cast<int>(h.Written.size());
      parlan_value out = capi::FromVariant(h, v);
      if (i < arg_count)
        back[i] = out;
      else if (result)
        *result = out;
    }
    for (size_t i = 0; i < arg_count; ++i) {
      if (text_of[i] >= 0) back[i].text = h.Written[static_cast<size_t>(text_of[i])].c_str();
      args[i] = back[i];
    }
    if (result && text_of[arg_count] >= 0)
      result->text = h.Written[static_cast<size_t>(text_of[arg_count])].c_str();
    return PARLAN_OK;
  });
}

}  // extern "C"
