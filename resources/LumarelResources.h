#pragma once

// Registers the embedded documents and pictures. They live in a static
// library, whose resource initialiser the linker would otherwise drop; call
// this before the first ":/" path is used. Calling it again does nothing.
void InitLumarelResources();
