// Placeholder translation unit for a layer library that has no sources yet.
