#include "ui/Classes.h"

#include "lib/LIB_Text.h"

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
