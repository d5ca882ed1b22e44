#include "engines/EngineCalls.h"

#include <limits>

namespace parlan::engines {
namespace {

bool ToLong(const Variant& v, int32_t& out) {
  int64_t n = 0;
  if (!v.ToInt64(n)) return false;
  if (n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max())
    return false;
  out = static_cast<int32_t>(n);
  return true;
}

}  // namespace

bool GetLong(DirectSS* engine, int32_t dispid, int32_t& out) {
  Variant result;
  if (!engine || !engine->Invoke(dispid, CallKind::Get, {}, result)) return false;
  return ToLong(result, out);
}

bool GetLong(DirectSS* engine, int32_t dispid, const Variant& arg, int32_t& out) {
  Variant result;
  if (!engine || !engine->Invoke(dispid, CallKind::Get, {arg}, result)) return false;
  return ToLong(result, out);
}

bool GetText(DirectSS* engine, int32_t dispid, const Variant& arg, std::u16string& out) {
  Variant result;
  if (!engine || !engine->Invoke(dispid, CallKind::Get, {arg}, result)) return false;
  if (result.type() != Variant::Type::String) return false;
  out = result.AsString();
  return true;
}

bool PutLong(DirectSS* engine, int32_t dispid, int32_t value) {
  Variant ignored;
  return engine && engine->Invoke(dispid, CallKind::Put, {Variant(value)}, ignored);
}

bool CallMethod(DirectSS* engine, int32_t dispid, const std::vector<Variant>& args) {
  Variant ignored;
  return engine && engine->Invoke(dispid, CallKind::Method, args, ignored);
}

}  // namespace parlan::engines
