#pragma once
// The real browser engine (Qt WebEngine) behind the web page frame. Kept in a library of
// its own: only the program and the engine's own tests pay for loading it.
namespace wux {

// Call before the application object is made: the engine shares graphics contexts
// with the toolkit and, as root, runs without its sandbox (which refuses root).
void prepareWebEngine();
// Makes every web frame made from now on use the engine.
void installWebEngine();

}  // namespace wux
