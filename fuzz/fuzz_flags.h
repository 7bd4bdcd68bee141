#pragma once

// Flags a target runs best with, given by the target itself so that they hold however
// it is started (scripts/fuzz.sh or by hand). Call from LLVMFuzzerInitialize, which
// libFuzzer calls before it reads its flags: they go in right after the program name,
// so that the same flag given on the command line, read later, still wins.
//
//   extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
//   {
//       AddDefaultFlags(argc, argv, {"-max_len=2048"});
//       return 0;
//   }

#include <initializer_list>
#include <vector>

inline void AddDefaultFlags(int *argc, char ***argv, std::initializer_list<const char *> flags)
{
    static std::vector<char *> args;
    args.clear();
    args.push_back((*argv)[0]);
    for (const char *flag : flags)
        args.push_back(const_cast<char *>(flag));
    for (int i = 1; i < *argc; ++i)
        args.push_back((*argv)[i]);
    args.push_back(nullptr);
    *argc = int(args.size()) - 1;
    *argv = args.data();
}
