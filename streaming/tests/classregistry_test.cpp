#include "streaming/classregistry.h"

#include <gtest/gtest.h>

#include "core/component.h"
#include "core/tests/test_support.h"

namespace tavelo::testing {
namespace {

// The registry is process-wide, so each test uses classes of its own.
class TRegA : public TComponent {
  TAVELO_CLASS(TRegA, TComponent)
public:
  using TComponent::TComponent;
};
TAVELO_CLASS_IMPL(TRegA)

class TRegB : public TRegA {
  TAVELO_CLASS(TRegB, TRegA)
public:
  using TRegA::TRegA;
};
TAVELO_CLASS_IMPL(TRegB)

namespace other {
// Another class that happens to bear the name TRegA.
class TRegA : public TComponent {
  TAVELO_CLASS(TRegA, TComponent)
public:
  using TComponent::TComponent;
};
TAVELO_CLASS_IMPL(TRegA)
}  // namespace other

class TGroupRoot : public TComponent {
  TAVELO_CLASS(TGroupRoot, TComponent)
public:
  using TComponent::TComponent;
};
TAVELO_CLASS_IMPL(TGroupRoot)

class TGroupLeaf : public TGroupRoot {
  TAVELO_CLASS(TGroupLeaf, TGroupRoot)
public:
  using TGroupRoot::TGroupRoot;
};
TAVELO_CLASS_IMPL(TGroupLeaf)

class TLonely : public TPersistent {
  TAVELO_CLASS(TLonely, TPersistent)
};
TAVELO_CLASS_IMPL(TLonely)

TEST(ClassRegistryTest, RegistersAncestorsAndRefusesANameTakenInTheGroup) {
  RegisterClass(TRegB::StaticClass());
  EXPECT_EQ(GetClass("tregb"), TRegB::StaticClass());
  EXPECT_EQ(GetClass("TRegA"), TRegA::StaticClass());  // the ancestor came along
  EXPECT_EQ(GetClass("TComponent"), TComponent::StaticClass());
  RegisterClass(TRegB::StaticClass());  // twice is harmless
  EXPECT_RAISES(RegisterClass(other::TRegA::StaticClass()), EFilerError, "Une classe nommée TRegA existe déjà");
  EXPECT_EQ(GetClass("TRegC"), nullptr);
  EXPECT_RAISES(FindClass("TRegC"), EClassNotFound, "Classe TRegC non trouvée");
}

TEST(ClassRegistryTest, GroupsDecideWhatIsFound) {
  StartClassGroup(TGroupRoot::StaticClass());
  RegisterClass(TGroupLeaf::StaticClass());
  // The new group is not active: its classes are not found.
  EXPECT_EQ(GetClass("TGroupLeaf"), nullptr);
  TClassFinder finder(TGroupLeaf::StaticClass(), false);
  EXPECT_EQ(finder.GetClass("TGroupLeaf"), TGroupLeaf::StaticClass());
  TClass previous = ActivateClassGroup(TGroupRoot::StaticClass());
  EXPECT_EQ(GetClass("TGroupLeaf"), TGroupLeaf::StaticClass());
  EXPECT_EQ(ActivateClassGroup(previous), TGroupRoot::StaticClass());
  EXPECT_EQ(GetClass("TGroupLeaf"), nullptr);
}

TEST(ClassRegistryTest, GroupingMovesRegisteredDescendants) {
  RegisterClasses({TLonely::StaticClass(), TComponent::StaticClass()});
  EXPECT_EQ(GetClass("TLonely"), TLonely::StaticClass());
  EXPECT_RAISES(GroupDescendentsWith(TLonely::StaticClass(), TObject::StaticClass()), EFilerError,
                "TObject n'est pas dans un groupe de recensement de classes");
  StartClassGroup(TGroupRoot::StaticClass());
  GroupDescendentsWith(TLonely::StaticClass(), TGroupRoot::StaticClass());
  // Now in the inactive group of TGroupRoot.
  EXPECT_EQ(GetClass("TLonely"), nullptr);
  TClassFinder finder(TGroupRoot::StaticClass(), true);
  EXPECT_EQ(finder.GetClass("TLonely"), TLonely::StaticClass());
  EXPECT_EQ(finder.GetClass("TComponent"), TComponent::StaticClass());  // an active group
}

}  // namespace
}  // namespace tavelo::testing
