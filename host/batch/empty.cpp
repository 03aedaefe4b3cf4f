// Keeps the kernel library non-empty while no kernel has landed.
