// Shared fixtures for the tests; grows with the platform layer.
