// The one COM smart pointer of the project.
#pragma once
#include <wrl/client.h>

namespace kx {
template <class T> using ComPtr = Microsoft::WRL::ComPtr<T>;
}
