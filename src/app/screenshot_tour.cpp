#include "app/link_app.h"
int main(int argc, char** argv) {
  tavlink::app::LinkApp a(argc, argv);
  return 0;
}
