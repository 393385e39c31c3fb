// linklist Zieldatei Quelldatei Link-Verweis Bildtyp(en)
#include <iostream>
#include <string>
#include <vector>

#include "authoring/core/linklist.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv, argv + argc);
  return ostrelin::RunLinklist(args, std::cout);
}
