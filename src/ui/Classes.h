#pragma once
// The object model the controls share: components with an owner that frees
// them, a name and a tag, and the event types their handlers use.

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TObject {
 public:
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// A component belongs to its owner, which frees it (and everything it owns)
// when it is freed itself, youngest first.
class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner) : owner_(owner) {}
  ~TComponent() override { DestroyComponents(); }
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  std::string Name;
  int Tag = 0;

  TComponent* Owner() const { return owner_; }
  const std::vector<std::unique_ptr<TComponent>>& Components() const { return components_; }
  // Name compared without regard to letter case, as the class library does.
  TComponent* FindComponent(const std::string& name) const;

  // Makes a component owned by this one: T's constructor takes the owner first.
  template <class T, class... Args>
  T* Create(Args&&... args) {
    auto made = std::make_unique<T>(this, std::forward<Args>(args)...);
    T* result = made.get();
    components_.push_back(std::move(made));
    return result;
  }

 protected:
  // Frees the owned components now; controls call it before their window
  // goes, so that child windows never outlive the objects they report to.
  void DestroyComponents();

 private:
  TComponent* owner_;
  std::vector<std::unique_ptr<TComponent>> components_;
};

bool SameText(const std::string& a, const std::string& b);
