// The link check's program: every object of one library linked with only the
// libraries it declares. It never runs; linking it is the check.
int main() {
    return 0;
}
