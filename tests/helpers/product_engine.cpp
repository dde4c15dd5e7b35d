// Test helper: the sample product's engine library, built once for each product version
// (PRODUCT_VERSION) as zentoraeng.dll; the product's service keeps it loaded while it runs.

extern "C" __declspec(dllexport) const char* EngineVersion() {
  return PRODUCT_VERSION;
}
