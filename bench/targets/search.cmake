ostrelin_bench(search DEPENDS search_core)
