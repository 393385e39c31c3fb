// umriss build LABELS TABLE OUTLINE [--title TEXT] | umriss dump OUTLINE
#include <iostream>
#include <string>
#include <vector>

#include "authoring/core/umriss.h"
#include "authoring/ui/label_image.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv, argv + argc);
  return ostrelin::RunUmriss(args, std::cout, std::cerr, ostrelin::LoadLabelImage);
}
