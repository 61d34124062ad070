// The browser engine frees some of its own objects through a base of another size,
// which the address checker reports as a type mismatch. That is inside the engine,
// not ours to mend; only this test program, which loads the engine, lets it pass.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }
