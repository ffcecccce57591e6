#include "ui/Classes.h"

#include <cctype>

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  for (const auto& c : components_)
    if (SameText(c->Name, name)) return c.get();
  return nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    // Moved out first: a component's destructor may look at its owner's list.
    std::unique_ptr<TComponent> last = std::move(components_.back());
    components_.pop_back();
  }
}
