// A fresh in-memory property bag for the persistence tests.
#pragma once
#include <gtest/gtest.h>

#include "ComPtr.h"
#include "MemoryPropertyBag.h"

namespace kxtest {

inline kx::ComPtr<kx::ole::MemoryPropertyBag> NewBag() {
    kx::ComPtr<kx::ole::MemoryPropertyBag> bag;
    EXPECT_HRESULT_SUCCEEDED(kx::ole::MemoryPropertyBag::Create(bag));
    return bag;
}

} // namespace kxtest
