# Resource embedding is provided by tools/respack (see tools/CMakeLists.txt).
