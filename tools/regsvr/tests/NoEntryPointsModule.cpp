// A shared object that is not a module: it exports none of the entry points.

extern "C" __attribute__((visibility("default"))) int NotAModule()
{
    return 0;
}
