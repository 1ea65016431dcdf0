// Every operation handler of kesh, by the file that holds it. The tables
// that select them by the operation word are in driver/dispatch.cpp.
#pragma once
#include "kesh/driver/run.h"

// driver/: run core
Step op_assign(Run& r, Op& o);   // -:   command-file assignments (cmdfile.cpp)
Step op_I(Run& r, Op& o);        // -I   insert a file (load.cpp)
Step op_L(Run& r, Op& o);        // -L -LA -Lm  insert parameters (load.cpp)
Step op_O(Run& r, Op& o);        // -O   output the window (output.cpp)
Step op_s(Run& r, Op& o);        // -system  shell command (output.cpp)
Step op_c(Run& r, Op& o);        // -c   change text in the window (rewrite.cpp)
Step op_t(Run& r, Op& o);        // -t   translate the whole list (rewrite.cpp)
Step op_a(Run& r, Op& o);        // -a   append a column (rewrite.cpp)

// menu/: menu, filters, script variables, archives, inputs
Step op_menu(Run& r, Op& o);     // -? -/  selection menu (menu.cpp)
Step op_prompt(Run& r, Op& o);   // +?   line prompt (menu.cpp)
Step op_e(Run& r, Op& o);        // -e family, -expand (filters.cpp)
Step op_v(Run& r, Op& o);        // -v family (filters.cpp)
Step op_V(Run& r, Op& o);        // -V family (filters.cpp)
Step op_g(Run& r, Op& o);        // -getva -getvalue, -gather (vars.cpp)
Step op_p(Run& r, Op& o);        // -putva -putvalue (vars.cpp)
Step op_gather(Run& r, Op& o);   // -gather (archive.cpp)
Step op_expand(Run& r, Op& o);   // -expand (archive.cpp)
Step op_i(Run& r, Op& o);        // -inputs -insert (inputs.cpp)

// window/: window search and the -- family
Step op_search(Run& r, Op& o);   // -A -E +A +E (search.cpp)
Step op_dashdash(Run& r, Op& o); // --... (dashdash.cpp)

// filters/: conditions, fragments, replacement, keyed edits, ++ family
Step op_plus_i(Run& r, Op& o);         // +if_... conditions and +i (cond.cpp)
Step op_plusplus(Run& r, Op& o);       // ++ and the ++ family (cond.cpp)
Step op_plusplus_member(Run& r, Op& o);// ++x members (plusplus.cpp)
Step op_fragment(Run& r, Op& o);       // +F +e +f +g (fragment.cpp)
Step op_replace(Run& r, Op& o);        // +r +rep +q (replace.cpp)
Step op_separator(Run& r, Op& o);      // +i (replace.cpp)
Step op_keyed(Run& r, Op& o);          // +R +del +a +status +size (keyed.cpp)
