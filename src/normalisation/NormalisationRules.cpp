// Placeholder until the normalisation file loader arrives: no language has normalisation.
#include "normalisation/Normalisation.h"

namespace parlan {

bool LoadNormalisationRules(NormContext&, const std::filesystem::path&) { return false; }

}  // namespace parlan
