// The scratch folder a test program runs in (its working directory).
#pragma once
#include <string>

const std::string& scratch_dir();
