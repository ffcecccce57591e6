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

  // Expires when the component is freed; see TComponentRef.
  std::weak_ptr<void> LifeToken() const { return life_; }

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
  std::shared_ptr<char> life_ = std::make_shared<char>();
};

// A reference to a component that the holder does not own: it reads as null
// once the component is freed, so a holder that outlives it never calls it.
template <class T>
class TComponentRef {
 public:
  TComponentRef() = default;
  explicit TComponentRef(T* component)
      : component_(component), life_(component ? component->LifeToken() : std::weak_ptr<void>()) {}
  T* get() const { return life_.expired() ? nullptr : component_; }

 private:
  T* component_ = nullptr;
  std::weak_ptr<void> life_;
};

