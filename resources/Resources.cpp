#include "resources/Resources.h"

#include <stdexcept>
#include <string>

// The table is generated at build time from the files under resources/pictures.
namespace fx_resources_detail {
extern const TResource kTable[];
extern const std::size_t kCount;
}  // namespace fx_resources_detail

TResourceRange EmbeddedResources() {
  using namespace fx_resources_detail;
  return {kTable, kTable + kCount};
}

const TResource* FindEmbeddedResource(std::string_view name) {
  for (const TResource& resource : EmbeddedResources())
    if (resource.Name == name) return &resource;
  return nullptr;
}

const TResource& GetEmbeddedResource(std::string_view name) {
  if (const TResource* resource = FindEmbeddedResource(name)) return *resource;
  throw std::runtime_error("The setup program does not carry the resource \"" + std::string(name) + "\"");
}
