// The whole desktop program's timings (viewbench --program).
#pragma once

// Makes its own application object; call instead of the views-alone bench.
int RunProgramBench(int argc, char **argv);
