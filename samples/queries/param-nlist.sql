-- description: Orders by number, one per line (NLIST)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, customer_id, order_date, status
FROM orders
WHERE id IN ?NLIST_"Order numbers, one per line"?
ORDER BY id
