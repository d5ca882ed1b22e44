#include "parlan/Variant.h"

#include <cmath>

namespace parlan {

bool Variant::ToInt64(int64_t& out) const {
  switch (type()) {
    case Type::Boolean:
      out = AsBool() ? -1 : 0;
      return true;
    case Type::Integer:
      out = AsInteger();
      return true;
    case Type::Long:
      out = AsLong();
      return true;
    case Type::Double: {
      double d = AsDouble();
      if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 9.0e15) return false;
      out = static_cast<int64_t>(d);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace parlan
