// The project's ref-counting helper as the control base relies on it: an
// object made with Make holds exactly one reference and goes away with it.
#include <gtest/gtest.h>

#include "ComObject.h"
#include "MemoryPropertyBag.h"

namespace kxtest {
namespace {

TEST(ComObjectTest, MadeObjectHasOneReferenceAndDiesWithIt) {
    const LONG before = kx::ModuleLockCount();
    kx::ComPtr<kx::ole::MemoryPropertyBag> bag;
    ASSERT_HRESULT_SUCCEEDED(kx::ole::MemoryPropertyBag::Create(bag));
    EXPECT_EQ(before + 1, kx::ModuleLockCount());
    EXPECT_EQ(2u, bag->AddRef());
    EXPECT_EQ(1u, bag->Release());
    kx::ole::MemoryPropertyBag* raw = bag.Detach();
    EXPECT_EQ(0u, raw->Release());
    EXPECT_EQ(before, kx::ModuleLockCount());
}

} // namespace
} // namespace kxtest
